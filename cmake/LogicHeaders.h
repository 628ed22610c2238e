// The Qt headers the logic library's sources use most, compiled once for all of them.
#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QRect>
#include <QRegularExpression>
#include <QSaveFile>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <QStringView>
