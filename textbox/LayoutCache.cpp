#include "LayoutCache.h"

#include "RowMap.h"

namespace {

constexpr int CacheSize = 256;
constexpr qsizetype CachedUnits = 64 * RowMap::MaxPiece;

}  // namespace

QTextLayout *LayoutCache::find(Key key)
{
    const auto found = cache_.find(key);
    if (found == cache_.end())
        return nullptr;
    found->used = ++clock_;
    return found->layout.get();
}

QTextLayout *LayoutCache::keep(Key key, std::unique_ptr<QTextLayout> layout, qsizetype units)
{
    while (!cache_.isEmpty() &&
           (cache_.size() >= CacheSize || cachedUnits_ + units > CachedUnits)) {
        auto oldest = cache_.begin();
        for (auto i = cache_.begin(); i != cache_.end(); ++i)
            if (i->used < oldest->used)
                oldest = i;
        cachedUnits_ -= oldest->units;
        cache_.erase(oldest);
    }
    QTextLayout *result = layout.get();
    cache_.insert(key, Cached{std::move(layout), ++clock_, units});
    cachedUnits_ += units;
    return result;
}

void LayoutCache::forget(qsizetype fromLine, qsizetype toLine)
{
    for (auto i = cache_.begin(); i != cache_.end();) {
        if (i.key().first < fromLine || i.key().first > toLine) {
            ++i;
            continue;
        }
        cachedUnits_ -= i->units;
        i = cache_.erase(i);
    }
}

void LayoutCache::forgetAll()
{
    cache_.clear();
    cachedUnits_ = 0;
}
