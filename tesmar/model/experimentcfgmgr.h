#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

// What the program reads and edits of the experiment configuration. The order of the virtual
// operations is part of the library's interface.
class TESMAR_EXPORT ExperimentCfgInterface {
public:
    virtual ~ExperimentCfgInterface();

    virtual const QString &getExpName() const = 0;
    virtual LumaraAnalysisData::ExperimentType getExpType() const = 0;
    virtual LumaraAnalysisData::ReagentsType getReagentsType() const = 0;
    virtual LumaraAnalysisData::DropletWorkType getDropletWorkType() const = 0;
    virtual LumaraAnalysisData::BlocksType getBlocksType() const = 0;
    virtual const QVector<LumaraAnalysisData::TargetInfo> &getTargets() const = 0;
    virtual const QVector<LumaraAnalysisData::SampleInfo> &getSamples() const = 0;
    virtual QList<LumaraAnalysisData::WellInfo> &getWells() = 0;
    virtual const LumaraAnalysisData::MethodInfo &getMethod() const = 0;
    virtual bool removeWell(uint wellId) = 0;
    virtual void setExperiment(const LumaraAnalysisData::ExperimentInfo &exp) = 0;
    virtual bool setTargetName(uint channel, const QString &name) = 0;
    virtual void setComment(const QString &comment) = 0;
    virtual bool setSampleName(uint wellId, const QString &name) = 0;
};

class ExperimentCfgMgrPrivate;

// The experiment configuration of the open document, with a configuration version kept beside
// it. Wells are found by the first matching id.
class TESMAR_EXPORT ExperimentCfgMgr : public ExperimentCfgInterface {
public:
    ExperimentCfgMgr();
    ~ExperimentCfgMgr() override;

    const QString &getExpName() const override;
    LumaraAnalysisData::ExperimentType getExpType() const override;
    LumaraAnalysisData::ReagentsType getReagentsType() const override;
    LumaraAnalysisData::DropletWorkType getDropletWorkType() const override;
    LumaraAnalysisData::BlocksType getBlocksType() const override;
    const QVector<LumaraAnalysisData::TargetInfo> &getTargets() const override;
    const QVector<LumaraAnalysisData::SampleInfo> &getSamples() const override;
    QList<LumaraAnalysisData::WellInfo> &getWells() override;
    const LumaraAnalysisData::MethodInfo &getMethod() const override;
    bool removeWell(uint wellId) override;
    // Takes the record over whole; a record with fewer than six targets is padded with empty
    // ones so that every channel keeps its entry. The configuration version is not touched.
    void setExperiment(const LumaraAnalysisData::ExperimentInfo &exp) override;
    bool setTargetName(uint channel, const QString &name) override;
    void setComment(const QString &comment) override;
    // Also renews the well's display name from its prefix, position and the new sample name.
    bool setSampleName(uint wellId, const QString &name) override;

    LumaraAnalysisData::ExperimentInfo &getExp();
    const LumaraAnalysisData::ExperimentInfo &getExp() const;

    // Display name of a well: prefix (only when not empty), position and sample name joined
    // with "_", nothing trimmed.
    QString generateWellName(const QString &prefix, const QString &position,
                             const QString &sampleName) const;

    int getExperimentCfgVersion() const;
    void setExperimentCfgVersion(int version);

private:
    Q_DISABLE_COPY(ExperimentCfgMgr)
    Q_DECLARE_PRIVATE(ExperimentCfgMgr)
    QScopedPointer<ExperimentCfgMgrPrivate> d_ptr;
};
