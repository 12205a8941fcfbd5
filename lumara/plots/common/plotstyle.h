#pragma once
// The look every analysis plot shares: axis titles, size policy and background.
class QwtBasic;

// "Roboto" titles of 20 pixels times the interface scale (truncated) in "#333333" on the
// bottom and left axes, a Preferred size policy and a white background.
void stylePlot(QwtBasic *plot);
