#pragma once
// Display colours of channels (numbered 1 to 6), of channel pairs and of channel triples,
// shared by every plot and table.
#include <QString>

// Any channel outside 2..6 gets channel 1's colour.
QString getChannelColor(int channel);

// Order-free. Equal channels give the channel's colour name ("Blue" .. "DarkRed"); a channel
// outside 1..6 gives "#000".
QString getTwoChannelColor(int a, int b);

// The channels in ascending order; any other triple (unsorted ones too) gives "#000000".
QString getThreeChannelColor(int a, int b, int c);
