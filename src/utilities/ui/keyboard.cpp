#include "utilities/ui/keyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

namespace varnel {

ModifierKeys ModifierKeysOf(Qt::KeyboardModifiers modifiers) {
    return ModifierKeys{.shift = modifiers.testFlag(Qt::ShiftModifier),
                        .ctrl = modifiers.testFlag(Qt::ControlModifier),
                        .alt = modifiers.testFlag(Qt::AltModifier)};
}

ModifierKeys CurrentModifierKeys() {
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) return {};
    return ModifierKeysOf(QGuiApplication::queryKeyboardModifiers());
}

}  // namespace varnel
