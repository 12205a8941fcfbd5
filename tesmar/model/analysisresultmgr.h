#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

// What the program reads and edits of the per-well results and the QC limits. The order of
// the virtual operations is part of the library's interface. A false result leaves the
// manager unchanged.
class TESMAR_EXPORT AnalysisResultInterface {
public:
    virtual ~AnalysisResultInterface();

    virtual const LumaraAnalysisData::WellResultInfo &getWellResult(uint wellId) const = 0;
    virtual void appendWellResult(const LumaraAnalysisData::WellResultInfo &result) = 0;
    virtual bool appendPopulationResult(uint wellId, const LumaraAnalysisData::PopulationResultInfo &result) = 0;
    virtual bool removeWell(uint wellId) = 0;
    virtual bool removePopulationResult(uint populationId) = 0;
    virtual void clearPopulationResults() = 0;
    virtual bool setEffDrpltNum(uint wellId, uint number) = 0;
    virtual bool setChanType(uint wellId, uint channel, ushort type) = 0;
    virtual bool setPopulationResult(uint wellId, const LumaraAnalysisData::PopulationResultInfo &result) = 0;
    virtual bool setPopulationCcttInfo(uint wellId, uint populationId, double concentration,
                                       double lower, double upper) = 0;
    virtual bool setChanRefCctt(uint wellId, uint channel, double concentration) = 0;
    virtual bool setChanDilution(uint wellId, uint channel, double dilution) = 0;
    virtual bool setPopulationDilution(uint wellId, uint populationId, double dilution) = 0;
    virtual bool setPopulationPosDrpltNum(uint wellId, uint populationId, uint number) = 0;
    virtual bool setPopulationNegDrpltNum(uint wellId, uint populationId, uint number) = 0;
    virtual bool setPopulationUncertainty(uint wellId, uint populationId, double uncertainty) = 0;
    virtual void setQcThresholds(const LumaraAnalysisData::QcThresholdInfo &thresholds) = 0;
    virtual LumaraAnalysisData::QcThresholdInfo getQcThresholds() const = 0;
};

class AnalysisResultMgrPrivate;

// Results of every well in order of arrival. All wells hold the same populations in the same
// order; a population is located by its position in the first well and that position is used
// in every well.
class TESMAR_EXPORT AnalysisResultMgr : public AnalysisResultInterface {
public:
    AnalysisResultMgr();
    ~AnalysisResultMgr() override;

    // Throws the C string "Well id is invalid!" for a well without a record.
    const LumaraAnalysisData::WellResultInfo &getWellResult(uint wellId) const override;
    void appendWellResult(const LumaraAnalysisData::WellResultInfo &result) override;
    bool appendPopulationResult(uint wellId, const LumaraAnalysisData::PopulationResultInfo &result) override;
    bool removeWell(uint wellId) override;
    bool removePopulationResult(uint populationId) override;
    void clearPopulationResults() override;
    bool setEffDrpltNum(uint wellId, uint number) override;
    // Channel setters take channels 1..6; a record with fewer channel entries is refused.
    bool setChanType(uint wellId, uint channel, ushort type) override;
    // Copies every figure but the population id into the well's entry.
    bool setPopulationResult(uint wellId, const LumaraAnalysisData::PopulationResultInfo &result) override;
    bool setPopulationCcttInfo(uint wellId, uint populationId, double concentration, double lower,
                               double upper) override;
    bool setChanRefCctt(uint wellId, uint channel, double concentration) override;
    bool setChanDilution(uint wellId, uint channel, double dilution) override;
    bool setPopulationDilution(uint wellId, uint populationId, double dilution) override;
    bool setPopulationPosDrpltNum(uint wellId, uint populationId, uint number) override;
    bool setPopulationNegDrpltNum(uint wellId, uint populationId, uint number) override;
    bool setPopulationUncertainty(uint wellId, uint populationId, double uncertainty) override;
    void setQcThresholds(const LumaraAnalysisData::QcThresholdInfo &thresholds) override;
    LumaraAnalysisData::QcThresholdInfo getQcThresholds() const override;

    // The whole list, for the analysis-data entry.
    QList<LumaraAnalysisData::WellResultInfo> &getWellResults();
    void setWellResults(const QList<LumaraAnalysisData::WellResultInfo> &results);

private:
    Q_DISABLE_COPY(AnalysisResultMgr)
    Q_DECLARE_PRIVATE(AnalysisResultMgr)
    QScopedPointer<AnalysisResultMgrPrivate> d_ptr;
};
