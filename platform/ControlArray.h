#pragma once
// A control array: element 0 is the designed template; loading element n creates a copy
// of it (same parent and font, hidden until made visible). Indices are 16-bit, as the
// click handlers receive them, so only 0 to 32767 can be loaded.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

template<class W>
class ControlArray
{
public:
    using Factory = std::function<W *(QWidget *parent)>;
    static constexpr int maxIndex = 32767;

    ControlArray(W *element0, Factory factory) : mFactory(std::move(factory)) { mItems[0] = element0; }

    // Creates element `index` from the template; nullptr when it is loaded already or
    // out of range.
    W *load(int index)
    {
        if (index <= 0 || index > maxIndex || isLoaded(index))
            return nullptr;
        W *tmpl = mItems.at(0);
        W *w = mFactory(tmpl->parentWidget());
        w->setFont(tmpl->font());
        w->hide();
        mItems[index] = w;
        return w;
    }
    // Removes element `index` (never the template); false when it was not loaded.
    bool unload(int index)
    {
        auto it = mItems.find(index);
        if (index == 0 || it == mItems.end())
            return false;
        delete it->second.data();
        mItems.erase(it);
        return true;
    }
    void unloadAll()
    {
        for (auto it = mItems.begin(); it != mItems.end();) {
            if (it->first == 0) {
                ++it;
                continue;
            }
            delete it->second.data();
            it = mItems.erase(it);
        }
    }
    bool isLoaded(int index) const { return mItems.count(index) != 0; }
    W *at(int index) const
    {
        auto it = mItems.find(index);
        return it == mItems.end() ? nullptr : it->second.data();
    }
    W *operator[](int index) const { return at(index); }
    int upperBound() const { return mItems.rbegin()->first; }
    int count() const { return int(mItems.size()); }
    // Calls `f(index, element)` for every loaded element, the template included.
    template<class F>
    void forEach(F &&f) const
    {
        for (const auto &[index, w] : mItems)
            if (w)
                f(index, w.data());
    }

private:
    Factory mFactory;
    std::map<int, QPointer<W>> mItems;
};
