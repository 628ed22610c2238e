#pragma once
// The site tree as the benchmarks show it: the stored size of a first start, shown in the
// area that openFormArea() made.

#include "app/basSystem.h"
#include "tree/frmTree.h"

#include <QMdiArea>

inline frmTree *showSiteTree(QMdiArea &area)
{
    basSystem::gTreeWinWidth = 3210;
    basSystem::gTreeWinHeight = 8430;
    auto *tree = new frmTree(&area);
    tree->Show();
    return tree;
}
