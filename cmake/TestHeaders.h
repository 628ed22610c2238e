// The headers every test uses, compiled once for all of them: the windows' and the test
// framework's.
#include "WindowHeaders.h"

#include <QtTest>
