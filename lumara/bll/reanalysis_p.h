#pragma once
// Pieces shared by the engine's sources: analysers for parallel tasks, raw views of images,
// and an order-keeping parallel map on the global pool.
#include "bll/reanalysis.h"
#include "io/poolwork.h"

#include <QImage>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Analysers configured from one recorded set-up, lent to one task at a time. A task takes a
// pair, uses it for one well and gives it back; the pool makes a new pair only when every
// existing one is busy, so a job makes as many pairs as it runs tasks at once.
class ReAnalysis::AnalyserPool {
public:
    struct Pair {
        Ravelin::DrpltImgAnalyser a;
        Ravelin::DrpltImgAnalyser b;
    };

    explicit AnalyserPool(const AnalyserSetup &setup) : m_setup(setup) {}

    // The pair returns to the pool when the lease ends.
    class Lease {
    public:
        explicit Lease(const std::shared_ptr<AnalyserPool> &pool) : m_pool(pool), m_pair(pool->take()) {}
        ~Lease() { m_pool->giveBack(std::move(m_pair)); }
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Ravelin::DrpltImgAnalyser &a() { return m_pair->a; }
        Ravelin::DrpltImgAnalyser &b() { return m_pair->b; }

    private:
        std::shared_ptr<AnalyserPool> m_pool;
        std::unique_ptr<Pair> m_pair;
    };

    int pairsMade() const;

private:
    std::unique_ptr<Pair> take();
    void giveBack(std::unique_ptr<Pair> pair);

    const AnalyserSetup m_setup;
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Pair>> m_free;
    int m_made = 0;
};

namespace EngineDetail {

// A tightly packed raw view on each of six channel images, with whatever keeps the pixels
// alive. Images of other formats are converted and padded rows repacked, since a raw image
// has no row stride.
struct RawImages {
    DrpltImgsOnWell<DrpltImg> views;
    QVector<QImage> keep;
    QVector<QByteArray> packed;
};
RawImages rawImages(const QVector<QImage> &images);

// An image on pixels allocated with new[] (as the analysis library hands them out), freed with
// the last copy of the image. Null for a view without pixels.
QImage adoptPixels(const DrpltImg &pixels);

// The wells' tasks run through poolFor: a job that already occupies the pool (or a pool
// limited to one thread) runs its items itself instead of waiting for a thread no one frees.
using ::poolFor;

// f applied to every item, in parallel; the results in the items' order. A task that throws
// leaves its default result.
template <typename R, typename T>
QVector<R> orderedMap(const QVector<T> &items, const std::function<R(const T &)> &f)
{
    QVector<R> results(items.size());
    R *out = results.data();
    const T *in = items.constData();
    poolFor(items.size(), [out, in, &f](int i) {
        try {
            out[i] = f(in[i]);
        } catch (...) {
            out[i] = R();
        }
    });
    return results;
}

} // namespace EngineDetail
