#pragma once
// The Export module: one page, the export page, in the container's stack.
#include "pages/pagecontainer.h"

#include <QPointer>

class ExportPage;

class Export : public PageContainer {
    Q_OBJECT
public:
    explicit Export(QWidget *parent = nullptr);
    ~Export() override;

    ExportPage *exportPage() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<ExportPage> m_page;
};
