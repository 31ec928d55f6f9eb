#include "TeclasX11.h"

#include <QHash>
#include <QKeySequence>
#include <QStringList>

#include <X11/Xlib.h>
#include <X11/keysym.h>

unsigned long TeclasX11::simbolo(int tecla) {
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F35) {
        return XK_F1 + static_cast<KeySym>(tecla - Qt::Key_F1);
    }
    if (tecla >= Qt::Key_A && tecla <= Qt::Key_Z) {
        return XK_a + static_cast<KeySym>(tecla - Qt::Key_A);
    }
    if (tecla >= Qt::Key_Space && tecla <= Qt::Key_ydiaeresis) {
        return static_cast<KeySym>(tecla); // Latin-1 keys share their codes
    }
    static const QHash<int, KeySym> especiales{
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Tab, XK_Tab},
        {Qt::Key_Backspace, XK_BackSpace},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Insert, XK_Insert},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_Home, XK_Home},
        {Qt::Key_End, XK_End},
        {Qt::Key_Left, XK_Left},
        {Qt::Key_Up, XK_Up},
        {Qt::Key_Right, XK_Right},
        {Qt::Key_Down, XK_Down},
        {Qt::Key_PageUp, XK_Prior},
        {Qt::Key_PageDown, XK_Next},
        {Qt::Key_ScrollLock, XK_Scroll_Lock},
        {Qt::Key_Menu, XK_Menu},
    };
    return especiales.value(tecla, 0);
}

QString TeclasX11::disparadorXdg(const QKeySequence& tecla) {
    if (tecla.count() != 1) {
        return {};
    }
    const KeySym clave = simbolo(tecla[0].key());
    // Xlib's own table of names, which needs no display: the desktop reads them with xkbcommon,
    // whose names are the same.
    const char* nombre = clave != 0 ? XKeysymToString(clave) : nullptr;
    if (nombre == nullptr) {
        return {};
    }
    const Qt::KeyboardModifiers mods = tecla[0].keyboardModifiers();
    QStringList partes;
    if (mods & Qt::ControlModifier) {
        partes << QStringLiteral("CTRL");
    }
    if (mods & Qt::AltModifier) {
        partes << QStringLiteral("ALT");
    }
    if (mods & Qt::ShiftModifier) {
        partes << QStringLiteral("SHIFT");
    }
    if (mods & Qt::MetaModifier) {
        partes << QStringLiteral("LOGO");
    }
    partes << QString::fromLatin1(nombre);
    return partes.join(QLatin1Char('+'));
}
