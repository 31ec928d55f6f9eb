#pragma once

#include <QString>

class QKeySequence;

// Keys as X names them, without a window or a connection to the server.
namespace TeclasX11 {

// The X keysym of a Qt key (Qt::Key), or 0 for a key this program does not offer as a global key.
unsigned long simbolo(int tecla);

// `tecla` as freedesktop.org's desktops write a shortcut's trigger: the modifiers CTRL, ALT, SHIFT
// and LOGO joined by "+" before the key's keysym name ("CTRL+SHIFT+d", "F9").
// Empty for no key, a sequence of several keys, or a key without such a name.
QString disparadorXdg(const QKeySequence& tecla);

} // namespace TeclasX11
