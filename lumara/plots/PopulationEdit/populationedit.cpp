#include "plots/PopulationEdit/populationedit.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "plots/PopulationEdit/linezonemodel.h"
#include "plots/PopulationEdit/polygonzonemodel.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/common/populationmodel.h"
#include "shell/colorselect.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QQmlContext>
#include <QQuickItem>

using namespace LumaraAnalysisData;

namespace {

PopulationsMgr *populations()
{
    return BLLInstance::getInstance()->getPopulationsMgr();
}

// Only the listeners that mark the file changed and copy the counts hear this.
void announceWrite()
{
    emit SignalTransfer::getInstance()->dataFixed();
}

} // namespace

PopulationEdit::PopulationEdit(QWidget *parent) : QQuickWidget(parent)
{
    m_lineModel = new LineZoneModel(this);
    m_polygonModel = new PolygonZoneModel(this);
    m_populationModel = new PopulationModel(this);
    rootContext()->setContextProperty(QStringLiteral("lineModel"), m_lineModel);
    rootContext()->setContextProperty(QStringLiteral("polygonModel"), m_polygonModel);
    rootContext()->setContextProperty(QStringLiteral("populationModel"), m_populationModel);
    loadScaledView(this, QUrl(QStringLiteral("qrc:/PopulationEdit/qml/PopulationEdit.qml")));
    m_root = rootObject();
    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete, this, &PopulationEdit::resetDocument);
    if (!m_root)
        return;
    QObject *root = m_root.data();
    connect(SignalTransfer::getInstance(), SIGNAL(updateWellComplete()), root, SIGNAL(initQMLUI()));
    connect(this, SIGNAL(updateQMLModel()), root, SIGNAL(updateModel()));
    connect(this, SIGNAL(populationEditAble(bool)), root, SIGNAL(populationEditAble(bool)));
    connect(this, SIGNAL(resizeQML(int, int)), root, SIGNAL(resizeLayout(int, int)));
    connect(root, SIGNAL(updatePopulation(int)), this, SLOT(updatePopulation(int)));
    connect(root, SIGNAL(editNegetive(bool)), this, SLOT(editNegetive(bool)));
    connect(root, SIGNAL(apply(QString, QString, bool)), this, SLOT(apply(QString, QString, bool)));
    connect(root, SIGNAL(popupColorDialog(QString)), this, SLOT(popupColorDialog(QString)));
    connect(root, SIGNAL(addPopulation()), this, SLOT(addPopulation()));
    connect(root, SIGNAL(deletePopulation()), this, SLOT(deletePopulation()));
    connect(root, SIGNAL(setNegativeStatus(int, bool)), this, SLOT(setNegativeStatus(int, bool)));
    connect(root, SIGNAL(setPositiveStatus(int, bool)), this, SLOT(setPositiveStatus(int, bool)));
    connect(this, SIGNAL(applySucceed()), root, SIGNAL(applySucceed()));
    connect(this, SIGNAL(modityNameExist()), root, SIGNAL(modityNameExist()));
    connect(this, SIGNAL(deletePopulationCompleted()), root, SIGNAL(deletePopulationCompleted()));
}

bool PopulationEdit::lineMode() const
{
    return BLLInstance::getInstance()->getThldType() == LineThreshold;
}

ZoneTableModel *PopulationEdit::currentZoneModel() const
{
    return lineMode() ? static_cast<ZoneTableModel *>(m_lineModel) : m_polygonModel;
}

void PopulationEdit::setModeProperties()
{
    if (!m_root)
        return;
    m_root->setProperty("enableUI", true);
    m_root->setProperty("lineType", lineMode());
}

void PopulationEdit::refresh()
{
    if (WellListModel::instance()->getAllWellIDs().isEmpty())
        return;
    m_lineModel->updateFromDocument();
    m_polygonModel->updateFromDocument();
    setModeProperties();
    emit updateQMLModel();
    m_lineModel->resetView();
    m_populationModel->reload();
}

void PopulationEdit::initData()
{
    m_lineModel->updateFromDocument();
    m_polygonModel->updateFromDocument();
    setModeProperties();
}

void PopulationEdit::resetDocument()
{
    m_currentPopulation = NoPopulation;
    m_lineModel->clear();
    m_polygonModel->clear();
    m_populationModel->clear();
    initData();
    if (isVisible())
        refresh();
}

void PopulationEdit::updatePopulation(int index)
{
    if (index < 0 || index >= m_populationModel->rowCount())
        return;
    const uint id = populations()->getPopulationId(m_populationModel->populationName(index));
    m_currentPopulation = id;
    emit populationEditAble(populations()->isNegEdited(id));
    currentZoneModel()->setPopulationId(id);
    refresh();
}

void PopulationEdit::editNegetive(bool flag)
{
    currentZoneModel()->setNegativeEdit(flag);
}

void PopulationEdit::setPositiveStatus(int row, bool flag)
{
    currentZoneModel()->setPositiveMark(row, flag);
}

void PopulationEdit::setNegativeStatus(int row, bool flag)
{
    currentZoneModel()->setNegativeMark(row, flag);
}

void PopulationEdit::addPopulation()
{
    auto *dialog = new AddpopulationDialog;
    if (QWidget *window = QApplication::activeWindow()) {
        dialog->resize(window->size());
        dialog->move(centredOn(window->geometry(), dialog->size()));
    }
    // A new dialog per use: its connections go with it.
    connect(dialog, &AddpopulationDialog::yesClicked, this, &PopulationEdit::appenPopulation);
    connect(this, &PopulationEdit::populationNameExist, dialog, &AddpopulationDialog::populationNameExist);
    dialog->exec();
    delete dialog;
}

void PopulationEdit::appenPopulation(QString color, QString name)
{
    if (name.isEmpty() || populations()->isPopulationNameExist(name)) {
        emit populationNameExist();
        return;
    }
    if (populations()->addPopulation(name, color) == 0)
        return;
    m_populationModel->addPopulation(name, color);
    announceWrite();
    if (auto *dialog = qobject_cast<QDialog *>(sender()))
        dialog->accept();
}

void PopulationEdit::apply(QString name, QString color, bool negetiveEdit)
{
    const uint id = m_currentPopulation;
    // Without a chosen population a binding would list one the document does not hold.
    if (id == NoPopulation || populations()->getPopulation(id).id == 0)
        return;
    if (name.isEmpty() || populations()->isPopulationNameUsedByOther(id, name)) {
        emit modityNameExist();
        return;
    }
    const PopulationsInfo before = populations()->getPopulation(id);
    populations()->setPopulationName(id, name);
    populations()->setPopulationSignColor(id, color);
    populations()->setNegEdited(id, negetiveEdit);

    ZoneTableModel *model = currentZoneModel();
    const QVector<ZoneBinding> bindings = bindingsToStore(model->bindingList(), negetiveEdit);
    model->setPopulationId(id);
    for (const ZoneBinding &binding : bindings)
        populations()->bindPopulationAndZone(binding, id);
    // A zone unchecked in the table leaves the population.
    const PopulationsInfo stored = populations()->getPopulation(id);
    for (const auto &bound : stored.zones) {
        bool kept = false;
        for (const ZoneBinding &binding : bindings)
            kept = kept || binding.first == bound.first;
        if (!kept)
            populations()->unbindPopulationAndZone(bound.first, id);
    }
    // Apply with nothing changed leaves the file as it was.
    const PopulationsInfo after = populations()->getPopulation(id);
    if (after.name != before.name || after.signColor != before.signColor || after.negEdited != before.negEdited
        || after.zones != before.zones)
        announceWrite();
    emit applySucceed();
    refresh();
}

void PopulationEdit::deletePopulation()
{
    if (m_currentPopulation == NoPopulation || populations()->getPopulation(m_currentPopulation).id == 0)
        return;
    auto *box = new DialogMessage(1, tr("This population will be removed from the analysis. Do you wish to continue?"));
    centreOnActiveWindow(box);
    const bool yes = box->exec() == 1;
    box->deleteLater();
    if (!yes)
        return;
    populations()->removePopulation(m_currentPopulation);
    m_currentPopulation = NoPopulation;
    m_lineModel->setNegativeEdit(false);
    m_polygonModel->setNegativeEdit(false);
    announceWrite();
    emit deletePopulationCompleted();
    refresh();
}

void PopulationEdit::popupColorDialog(QString color)
{
    auto *picker = new ColorSelect;
    picker->setCurrentColor(color);
    centreOnActiveWindow(picker);
    if (m_root)
        connect(picker, SIGNAL(sigClrValue(QString)), m_root.data(), SIGNAL(setPopulationColor(QString)));
    picker->exec();
    picker->deleteLater();
}

void PopulationEdit::resizeEvent(QResizeEvent *event)
{
    emit resizeQML(width(), height());
    emit updateQMLModel();
    QQuickWidget::resizeEvent(event);
}
