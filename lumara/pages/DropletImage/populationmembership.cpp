#include "pages/DropletImage/populationmembership.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"

#include <QHash>


using namespace LumaraAnalysisData;

PopulationMembership::PopulationMembership(uint wellId, uint populationId)
{
    BLLInstance *bll = BLLInstance::getInstance();
    PopulationsInfo population;
    for (const PopulationsInfo &candidate : bll->getPopulationsMgr()->getPopulations()) {
        if (candidate.id == populationId) {
            population = candidate;
            m_found = true;
            break;
        }
    }
    if (!m_found)
        return;

    QHash<uint, QVector<uint>> values; // per channel, read once
    const auto valuesOf = [&](uint channel) {
        auto it = values.find(channel);
        if (it == values.end())
            it = values.insert(channel, bll->getAllDropletGrayValues(wellId, channel));
        return it.value(); // a shared copy
    };

    m_lineMode = bll->getThldType() != PolygonThreshold;
    if (m_lineMode) {
        // The code the recount makes: the same bits, the same forced targets.
        const BLLInstance::LineCode code = bll->lineCode(wellId);
        for (const BLLInstance::CodeBit &bit : code.bits)
            m_bits.append({valuesOf(bit.channel), bit.threshold, bit.shift});
        m_forced = code.forced;
        const QVector<uint> &zones = bll->getDropletExclude()->getZoneCombinationOfChan();
        m_memberCodes.assign(size_t(1) << code.bitCount, 0);
        for (uint code = 0; code < m_memberCodes.size(); ++code) {
            const int zone = zones.indexOf(code);
            if (zone < 0)
                continue;
            for (const QPair<quint32, ZoneType> &bound : population.zones)
                if (bound.first == uint(zone) && bound.second != NegativeZone)
                    m_memberCodes[code] = 1;
        }
        return;
    }

    const QList<PlotPolygonInfo> polygons = bll->getPopulationsMgr()->getWellPlotPolygons(wellId);
    for (const QPair<quint32, ZoneType> &bound : population.zones) {
        for (const PlotPolygonInfo &record : polygons) {
            if (record.zoneId != bound.first)
                continue;
            m_polygons.append({record.polygon, valuesOf(record.xChannel), valuesOf(record.yChannel),
                               bound.second != NegativeZone});
            break;
        }
    }
}

bool PopulationMembership::contains(int droplet) const
{
    if (!m_found || droplet < 0)
        return false;
    if (m_lineMode) {
        uint code = m_forced;
        for (const CodeBit &bit : m_bits)
            if (bit.values.value(droplet) >= bit.threshold)
                code |= 1u << bit.shift;
        return code < m_memberCodes.size() && m_memberCodes[code];
    }
    for (const BoundPolygon &zone : m_polygons) {
        const QPointF point(double(zone.x.value(droplet)), double(zone.y.value(droplet)));
        // Odd-even, as the zone counts and the 2D colours.
        if (zone.polygon.containsPoint(point, Qt::OddEvenFill))
            return zone.member;
    }
    return false;
}
