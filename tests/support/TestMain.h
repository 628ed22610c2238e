#pragma once
// The test classes of one folder build into one program (tests/TestMain.cpp holds its main).
// Each class registers itself with PAGEKILN_TEST_MAIN instead of QTEST_MAIN; the program
// runs the class named by the name it was started under (build/tests/tst_NAME is a link to
// it) or by its first argument, so every class still runs in a process of its own.

#include <QObject>

#include <memory>

namespace testMain {
using MakeTest = std::unique_ptr<QObject> (*)();
// Adds the class `name`; returns true, so that a static initialiser can call it.
bool registerTest(const char *name, MakeTest make);
}   // namespace testMain

#define PAGEKILN_TEST_MAIN(TestObject) \
    static const bool TestObject##Registered = testMain::registerTest( \
        #TestObject, [] { return std::unique_ptr<QObject>(std::make_unique<TestObject>()); });
