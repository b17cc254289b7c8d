#include "support/window_driver.h"

#include <QAbstractButton>
#include <QTest>

namespace tw::testing {

void missingControl(const QObject* root, const QString& name, const char* type) {
    const QString under = root ? root->objectName() : QStringLiteral("(no window)");
    qFatal("no control %s named \"%s\" under \"%s\"", type, qPrintable(name), qPrintable(under));
}

void click(const QObject* root, const QString& name) {
    QTest::mouseClick(child<QAbstractButton>(root, name), Qt::LeftButton);
}

} // namespace tw::testing
