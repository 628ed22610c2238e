// The main of a program holding several test classes: runs the one it is asked for, as
// QTEST_MAIN would run it alone.
#include "support/TestMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
std::map<std::string, testMain::MakeTest> &tests()
{
    static std::map<std::string, testMain::MakeTest> registered;
    return registered;
}

// The class to run: the program's own name when started through a link named after a
// class, else the first argument (then taken out of the arguments QtTest reads).
testMain::MakeTest chosenTest(std::vector<char *> &arguments)
{
    const std::string self = QFileInfo(QString::fromLocal8Bit(arguments[0])).fileName().toStdString();
    if (const auto it = tests().find(self); it != tests().end())
        return it->second;
    if (arguments.size() > 1) {
        if (const auto it = tests().find(arguments[1]); it != tests().end()) {
            arguments.erase(arguments.begin() + 1);
            return it->second;
        }
    }
    return nullptr;
}

int usage(const char *program)
{
    std::fprintf(stderr, "usage: %s CLASS [QtTest options], CLASS one of:\n", program);
    for (const auto &[name, make] : tests())
        std::fprintf(stderr, "  %s\n", name.c_str());
    return 2;
}
}   // namespace

bool testMain::registerTest(const char *name, MakeTest make)
{
    tests().emplace(name, make);
    return true;
}

int main(int argc, char *argv[])
{
    std::vector<char *> arguments(argv, argv + argc);
    const testMain::MakeTest make = chosenTest(arguments);
    if (!make)
        return usage(argv[0]);
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    const std::unique_ptr<QObject> test = make();
    return QTest::qExec(test.get(), count, arguments.data());
}
