#pragma once

class QWidget;

// Lets the window stay `espera` ms, fade out over `duracion` ms where a compositor blends
// windows (elsewhere it stays whole until then), and close. Nothing of it runs once it has gone.
void Desvanecer(QWidget* ventana, int espera, int duracion);
