#pragma once

#include "Orden.h"

#include <QObject>
#include <functional>

class QLocalServer;
class QLocalSocket;

// Listens for commands from later starts of the program (`tizo --draw`, ...) on a local socket
// only this user can reach. A connection carries one command word and a newline; the command is
// carried out and answered with "ok". Anything else (an unknown word, garbage, more than a short
// line, silence past a deadline, more connections than it keeps open) is dropped without an
// answer and without harm.
class ServidorOrdenes : public QObject {
    Q_OBJECT
public:
    using Ejecutar = std::function<void(Orden)>;

    static constexpr int LargoMaximo = 64; // bytes in a command line
    static constexpr int Plazo = 2000;     // ms a connection may stay open
    static constexpr int ConexionesMaximas = 128;

    explicit ServidorOrdenes(Ejecutar ejecutar, QObject* padre = nullptr);
    ~ServidorOrdenes() override;

    // Starts listening at `ruta`. A socket left there by a program that ended without removing it
    // is replaced; one that answers is left alone. False, with one line on stderr, when it cannot
    // listen.
    bool escuchar(const QString& ruta);

    int conexionesAbiertas() const { return m_abiertas; }

private:
    void aceptar();
    void leer(QLocalSocket* conexion);

    Ejecutar m_ejecutar;
    QLocalServer* m_servidor;
    int m_abiertas = 0;
};
