#include "Autoarranque.h"
#include "Dibujos.h"
#include "Idioma.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QProcessEnvironment entorno(const QStringList& pares) {
    QProcessEnvironment e;
    for (const QString& par : pares) {
        e.insert(par.section(u'=', 0, 0), par.section(u'=', 1));
    }
    return e;
}

QString leer(const QString& ruta) {
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? QString::fromUtf8(archivo.readAll()) : QString();
}

} // namespace

// The session's autostart entry and the choice of the interface's language: the two rules that
// come from the desktop's conventions rather than from the program.
class TstEscritorio : public QObject {
    Q_OBJECT
private slots:
    void carpetaConfiguracion_data() {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QString>("carpeta");
        QTest::newRow("XDG_CONFIG_HOME")
            << QStringList{"XDG_CONFIG_HOME=/x/conf", "HOME=/h"} << "/x/conf";
        QTest::newRow("trailing slash")
            << QStringList{"XDG_CONFIG_HOME=/x/conf/", "HOME=/h"} << "/x/conf";
        QTest::newRow("unset") << QStringList{"HOME=/h"} << "/h/.config";
        QTest::newRow("empty") << QStringList{"XDG_CONFIG_HOME=", "HOME=/h"} << "/h/.config";
        // A relative path is invalid for the XDG rules: it would depend on where Tizo starts.
        QTest::newRow("relative") << QStringList{"XDG_CONFIG_HOME=conf", "HOME=/h"} << "/h/.config";
    }
    void carpetaConfiguracion() {
        QFETCH(QStringList, variables);
        QFETCH(QString, carpeta);
        QCOMPARE(Autoarranque::carpetaConfiguracion(entorno(variables)), carpeta);
    }

    // The program's path as the entry's Exec key holds it: a path with spaces or shell
    // characters must still run exactly that program.
    void comoExec_data() {
        QTest::addColumn<QString>("programa");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/tizo"
                               << "/usr/bin/tizo";
        QTest::newRow("space") << "/home/ana/mis cosas/tizo"
                               << "\"/home/ana/mis cosas/tizo\"";
        QTest::newRow("dollar") << "/opt/$HOME/tizo"
                                << "\"/opt/\\\\$HOME/tizo\"";
        QTest::newRow("backquote") << "/opt/a`b/tizo"
                                   << "\"/opt/a\\\\`b/tizo\"";
        QTest::newRow("double quote") << "/opt/a\"b/tizo"
                                      << "\"/opt/a\\\\\"b/tizo\"";
        QTest::newRow("backslash") << "/opt/a\\b/tizo"
                                   << "\"/opt/a\\\\\\\\b/tizo\"";
        QTest::newRow("single quote") << "/opt/ana's/tizo"
                                      << "\"/opt/ana's/tizo\"";
        QTest::newRow("percent") << "/opt/100%/tizo"
                                 << "/opt/100%%/tizo";
        QTest::newRow("percent and space") << "/opt/100 %u/tizo"
                                           << "\"/opt/100 %%u/tizo\"";
        QTest::newRow("accented") << "/home/íñigo/tizo"
                                  << "/home/íñigo/tizo";
    }
    void comoExec() {
        QFETCH(QString, programa);
        QFETCH(QString, exec);
        QCOMPARE(Autoarranque::comoExec(programa), exec);
    }

    // Whatever the path, the written entry is one that desktops accept.
    void entradaValida_data() { comoExec_data(); }
    void entradaValida() {
        QFETCH(QString, programa);
        const QString validador = QStandardPaths::findExecutable("desktop-file-validate");
        if (validador.isEmpty()) {
            QSKIP("desktop-file-validate is not installed");
        }
        QTemporaryDir carpeta;
        Autoarranque entrada(carpeta.path());
        QString error;
        QVERIFY2(entrada.activar(programa, &error), qPrintable(error));
        QProcess proceso;
        proceso.setProcessChannelMode(QProcess::MergedChannels);
        proceso.start(validador, {entrada.ruta()});
        QVERIFY(proceso.waitForFinished());
        const QString salida = QString::fromUtf8(proceso.readAll());
        QCOMPARE(proceso.exitCode(), 0);
        QVERIFY2(!salida.contains("error") && !salida.contains("warning"), qPrintable(salida));
        QVERIFY(leer(entrada.ruta()).contains("\nExec=" + Autoarranque::comoExec(programa) + "\n"));
    }

    // What `tizo --autostart VALUE` does, step by step from an empty configuration folder.
    void orden_data() {
        QTest::addColumn<QStringList>("valores");
        QTest::addColumn<QList<int>>("estados");
        QTest::addColumn<bool>("existe"); // the entry after the last step
        QTest::newRow("on") << QStringList{"on"} << QList<int>{0} << true;
        QTest::newRow("on twice") << QStringList{"on", "on"} << QList<int>{0, 0} << true;
        QTest::newRow("on then off") << QStringList{"on", "off"} << QList<int>{0, 0} << false;
        QTest::newRow("off with nothing there") << QStringList{"off"} << QList<int>{0} << false;
        QTest::newRow("off twice")
            << QStringList{"on", "off", "off"} << QList<int>{0, 0, 0} << false;
        QTest::newRow("unknown value") << QStringList{"yes"} << QList<int>{2} << false;
        QTest::newRow("upper case") << QStringList{"ON"} << QList<int>{2} << false;
        QTest::newRow("no value") << QStringList{""} << QList<int>{2} << false;
        QTest::newRow("a bad value keeps the entry")
            << QStringList{"on", "of"} << QList<int>{0, 2} << true;
    }
    void orden() {
        QFETCH(QStringList, valores);
        QFETCH(QList<int>, estados);
        QFETCH(bool, existe);
        QTemporaryDir carpeta;
        Autoarranque entrada(carpeta.path());
        for (int i = 0; i < valores.size(); ++i) {
            QString dicho, errores;
            QTextStream salida(&dicho), error(&errores);
            QCOMPARE(entrada.orden(valores[i], "/usr/bin/tizo", salida, error), estados[i]);
            // Says what it did, or one line on what went wrong; never both.
            if (estados[i] == 0) {
                QVERIFY(errores.isEmpty());
                QVERIFY2(dicho.contains(entrada.ruta()) && dicho.count('\n') == 1,
                         qPrintable(dicho));
            } else {
                QVERIFY(dicho.isEmpty());
                QCOMPARE(errores.count('\n'), 1);
            }
        }
        QCOMPARE(QFile::exists(entrada.ruta()), existe);
        QCOMPARE(entrada.ruta(), carpeta.filePath("autostart/io.github.tizo.Tizo.desktop"));
        if (existe) {
            QCOMPARE(leer(entrada.ruta()), Autoarranque::entrada("/usr/bin/tizo"));
        }
    }

    // A file system that says no is reported with exit status 1, never taken for success.
    void fallos_data() {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("estorbo"); // a path made before the command runs
        QTest::addColumn<bool>("esCarpeta");
        QTest::newRow("autostart is a file") << "on"
                                             << "autostart" << false;
        QTest::newRow("the entry is a folder") << "on"
                                               << "autostart/io.github.tizo.Tizo.desktop" << true;
        QTest::newRow("removing a folder") << "off"
                                           << "autostart/io.github.tizo.Tizo.desktop" << true;
    }
    void fallos() {
        QFETCH(QString, valor);
        QFETCH(QString, estorbo);
        QFETCH(bool, esCarpeta);
        QTemporaryDir carpeta;
        if (esCarpeta) {
            QVERIFY(QDir(carpeta.path()).mkpath(estorbo));
        } else {
            QFile archivo(carpeta.filePath(estorbo));
            QVERIFY(archivo.open(QIODevice::WriteOnly));
        }
        Autoarranque entrada(carpeta.path());
        QString dicho, errores;
        QTextStream salida(&dicho), error(&errores);
        QCOMPARE(entrada.orden(valor, "/usr/bin/tizo", salida, error), 1);
        QVERIFY(dicho.isEmpty());
        QVERIFY2(errores.contains(entrada.ruta()), qPrintable(errores));
    }

    // A stale link left where the entry goes is an entry to remove.
    void enlaceRoto() {
        QTemporaryDir carpeta;
        QVERIFY(QDir(carpeta.path()).mkpath("autostart"));
        Autoarranque entrada(carpeta.path());
        QVERIFY(QFile::link(carpeta.filePath("gone.desktop"), entrada.ruta()));
        bool estaba = false;
        QString error;
        QVERIFY(entrada.desactivar(&estaba, &error));
        QVERIFY(estaba);
        QVERIFY(!QFileInfo(entrada.ruta()).isSymLink());
    }

    // The interface's language, as gettext programs choose it, with an English translation at
    // hand; an empty code means Spanish, the program's own.
    void idioma_data() {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QString>("codigo");
        QTest::newRow("nothing set") << QStringList{} << "";
        QTest::newRow("C") << QStringList{"LANG=C"} << "";
        QTest::newRow("POSIX") << QStringList{"LANG=POSIX"} << "";
        QTest::newRow("C.UTF-8") << QStringList{"LANG=C.UTF-8"} << "";
        QTest::newRow("en_US") << QStringList{"LANG=en_US.UTF-8"} << "en";
        QTest::newRow("en_GB") << QStringList{"LANG=en_GB.UTF-8"} << "en";
        QTest::newRow("bare en") << QStringList{"LANG=en"} << "en";
        QTest::newRow("modifier") << QStringList{"LANG=en_IE@euro"} << "en";
        QTest::newRow("es_ES") << QStringList{"LANG=es_ES.UTF-8"} << "";
        QTest::newRow("fr_FR") << QStringList{"LANG=fr_FR.UTF-8"} << "";
        QTest::newRow("LC_ALL wins") << QStringList{"LC_ALL=es_ES.UTF-8", "LANG=en_US.UTF-8"} << "";
        QTest::newRow("LC_ALL English")
            << QStringList{"LC_ALL=en_US.UTF-8", "LANG=es_ES.UTF-8"} << "en";
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{"LC_MESSAGES=en_US.UTF-8", "LANG=es_ES.UTF-8"} << "en";
        QTest::newRow("empty LC_ALL is unset")
            << QStringList{"LC_ALL=", "LANG=en_US.UTF-8"} << "en";
        QTest::newRow("LANGUAGE falls back to English")
            << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=de:en"} << "en";
        QTest::newRow("LANGUAGE prefers Spanish")
            << QStringList{"LANG=en_US.UTF-8", "LANGUAGE=es:en"} << "";
        QTest::newRow("LANGUAGE ignored under C") << QStringList{"LANG=C", "LANGUAGE=en"} << "";
        QTest::newRow("LANGUAGE of unknown languages")
            << QStringList{"LANG=en_US.UTF-8", "LANGUAGE=fr:de"} << "en";
    }
    void idioma() {
        QFETCH(QStringList, variables);
        QFETCH(QString, codigo);
        QCOMPARE(Idioma::elegir(entorno(variables), {"en"}), codigo);
        // Without the translation file, Spanish whatever the locale.
        QCOMPARE(Idioma::elegir(entorno(variables), {}), QString());
    }

    // The logo comes from the SVG built into the program: were it missing or unreadable, every
    // icon would quietly come out blank.
    void logo_data() {
        QTest::addColumn<int>("lado");
        for (int lado : {13, 16, 32, 48, 256}) {
            QTest::addRow("%d", lado) << lado;
        }
    }
    void logo() {
        QFETCH(int, lado);
        const QImage imagen = Dibujos::logo(lado);
        QCOMPARE(imagen.size(), QSize(lado, lado));
        auto en = [&](double x, double y) {
            return imagen.pixelColor(std::min(lado - 1, int(x * lado)),
                                     std::min(lado - 1, int(y * lado)));
        };
        QVERIFY(en(0, 0).alpha() < 32); // rounded corners
        QVERIFY(en(0.99, 0.99).alpha() < 32);
        const QColor azul = en(0.5, 0.12); // the tile, clear of the stroke
        QVERIFY2(azul.alpha() == 255 && azul.blue() > 180 && azul.red() < 80,
                 qPrintable(azul.name()));
        if (lado >= 32) {
            const QColor trazo = en(0.22, 0.70); // where the pen stroke starts
            QVERIFY2(trazo.red() > 200 && trazo.green() > 200, qPrintable(trazo.name()));
        }
    }

    void carpetasDeTraducciones() {
        QCOMPARE(Idioma::carpetas("/usr/bin"),
                 QStringList({"/usr/bin/translations", "/usr/share/tizo/translations"}));
        QCOMPARE(Idioma::carpetas("/opt/x/build"),
                 QStringList({"/opt/x/build/translations", "/opt/x/share/tizo/translations"}));
        QTemporaryDir carpeta;
        for (const char* nombre : {"tizo_en.qm", "tizo_fr.qm", "qtbase_de.qm", "tizo_en.ts"}) {
            QFile archivo(carpeta.filePath(nombre));
            QVERIFY(archivo.open(QIODevice::WriteOnly));
        }
        QCOMPARE(Idioma::disponibles(carpeta.path()), QStringList({"en", "fr"}));
        QCOMPARE(Idioma::disponibles(carpeta.filePath("missing")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstEscritorio)
#include "tst_escritorio.moc"
