#pragma once

#include <QWidget>

struct Gesto;

// One finished shape floating over the desktop: borderless, topmost, colour-keyed so that only
// its strokes or letters show. It places, sizes and draws itself once, in the constructor, from
// the gesture and the shared settings of that moment.
class FormVentana : public QWidget {
    Q_OBJECT
public:
    explicit FormVentana(const Gesto& gesto, QWidget* padre = nullptr);
};
