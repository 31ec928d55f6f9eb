#include "Ajustes.h"
#include "GuardarImagen.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(Ajustes)

namespace QTest {
template <> char* toString(const Ajustes& a) {
    return qstrdup(QStringLiteral("{tipo %1 color %2 grosor %3 fuente '%4' tam %5 %6%7%8%9 "
                                  "tecla '%10'}")
                       .arg(int(a.estilo.herramienta))
                       .arg(a.estilo.color)
                       .arg(a.estilo.grosor)
                       .arg(a.estilo.fuente)
                       .arg(a.estilo.tamFuente)
                       .arg(a.estilo.negrita)
                       .arg(a.estilo.cursiva)
                       .arg(a.estilo.subrayado)
                       .arg(a.estilo.tachado)
                       .arg(a.tecla)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

namespace {
Ajustes con(const std::function<void(Ajustes&)>& cambio) {
    Ajustes a;
    cambio(a);
    return a;
}

QStringList archivosEn(const QString& carpeta) {
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class TstArchivos : public QObject {
    Q_OBJECT
private slots:
    // What a settings file gives: every value of its kind and range loads, every other value
    // falls back to its default with one line each, and a file that is not a settings file at
    // all gives every default with one line.
    void cargar_data() {
        QTest::addColumn<QByteArray>("contenido"); // "<missing>" / "<folder>": no such file
        QTest::addColumn<Ajustes>("esperados");
        QTest::addColumn<int>("avisos");
        const Ajustes defecto;
        QTest::newRow("missing: today's defaults") << QByteArray("<missing>") << defecto << 0;
        QTest::newRow("empty") << QByteArray() << defecto << 0;
        QTest::newRow("everything")
            << QByteArray("[Dibujo]\nHerramienta=3\nColor=16711680\nGrosor=200\n"
                          "[Texto]\nFuente=DejaVu Sans\nTamano=8\nNegrita=true\nCursiva=TRUE\n"
                          "Subrayado=false\nTachado=true\n[Teclado]\nDibujarFondo=Ctrl+Alt+D\n")
            << con([](Ajustes& a) {
                   a.estilo.herramienta = Herramienta(3);
                   a.estilo.color = 16711680;
                   a.estilo.grosor = 200;
                   a.estilo.fuente = QStringLiteral("DejaVu Sans");
                   a.estilo.tamFuente = 8;
                   a.estilo.negrita = true;
                   a.estilo.cursiva = true;
                   a.estilo.tachado = true;
                   a.tecla = QStringLiteral("Ctrl+Alt+D");
               })
            << 0;
        QTest::newRow("some, in any order")
            << QByteArray("[Texto]\nTamano= 120 \n[Dibujo]\nGrosor=1\nColor=0\n")
            << con([](Ajustes& a) {
                   a.estilo.tamFuente = 120;
                   a.estilo.grosor = 1;
                   a.estilo.color = 0;
               })
            << 0;
        QTest::newRow("out of range")
            << QByteArray("[Dibujo]\nHerramienta=8\nColor=16777216\nGrosor=0\n"
                          "GrosorResaltador=201\n[Texto]\nTamano=7\nFuente=Arial Black\n"
                          "[Laser]\nEspera=-1\nDesvanecer=10001\n")
            << con([](Ajustes& a) { a.estilo.fuente = QStringLiteral("Arial Black"); }) << 7;
        QTest::newRow("the later tools")
            << QByteArray("[Dibujo]\nHerramienta=7\nColorResaltador=65280\nGrosorResaltador=40\n"
                          "Suave=false\n[Laser]\nEspera=0\nDesvanecer=10000\n")
            << con([](Ajustes& a) {
                   a.estilo.herramienta = Herramienta::Laser;
                   a.estilo.suave = false;
                   a.estilo.colorResaltador = 65280;
                   a.estilo.grosorResaltador = 40;
                   a.estilo.esperaLaser = 0;
                   a.estilo.desvanecerLaser = 10000;
               })
            << 0;
        QTest::newRow("negative and huge")
            << QByteArray("[Dibujo]\nHerramienta=-1\nColor=-255\nGrosor=99999999999\n") << defecto
            << 3;
        QTest::newRow("wrong types")
            << QByteArray("[Dibujo]\nGrosor=diez\nColor=1.5\nHerramienta=0x1\n"
                          "[Texto]\nNegrita=si\nCursiva=1\nFuente=Una, Otra\nTamano=\n")
            << defecto << 7;
        QTest::newRow("a font name of every kind")
            << QByteArray("[Texto]\nFuente=\"Señor, Grande\"\n")
            << con([](Ajustes& a) { a.estilo.fuente = QStringLiteral("Señor, Grande"); }) << 0;
        QTest::newRow("no global key") << QByteArray("[Teclado]\nDibujarFondo=\n")
                                       << con([](Ajustes& a) { a.tecla.clear(); }) << 0;
        QTest::newRow("no such key")
            << QByteArray("[Teclado]\nDibujarFondo=Tecla Rara\n") << defecto << 1;
        QTest::newRow("two keys") << QByteArray("[Teclado]\nDibujarFondo=\"F9, F10\"\n") << defecto
                                  << 1;
        QTest::newRow("binary garbage")
            << QByteArray("[Dibujo]\nGrosor=20\n\0\xff\xfe\x01garbage", 30) << defecto << 1;
        QTest::newRow("not UTF-8")
            << QByteArray("[Dibujo]\nGrosor=20\nFuente=\xe9t\xe9\n") << defecto << 1;
        QTest::newRow("not INI") << QByteArray("Grosor=20\n[Dibujo\nColor=3\n") << defecto << 1;
        QTest::newRow("far too big")
            << (QByteArray("[Dibujo]\nGrosor=20\n") + QByteArray(100000, '#')) << defecto << 1;
        QTest::newRow("unreadable: a folder") << QByteArray("<folder>") << defecto << 1;
    }
    void cargar() {
        QFETCH(QByteArray, contenido);
        QFETCH(Ajustes, esperados);
        QFETCH(int, avisos);
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("tizo/tizo.conf"));
        QDir().mkpath(dir.filePath(QStringLiteral("tizo")));
        if (contenido == "<folder>") {
            QDir().mkpath(ruta);
        } else if (contenido != "<missing>") {
            QFile archivo(ruta);
            QVERIFY(archivo.open(QIODevice::WriteOnly));
            archivo.write(contenido);
        }
        Ajustes ajustes;
        ajustes.estilo.grosor = 77; // whatever it held before goes
        const Ajustes::Carga carga = ajustes.cargar(ruta);
        QCOMPARE(ajustes, esperados);
        QCOMPARE(carga.avisos.size(), avisos);
        for (const QString& aviso : carga.avisos) {
            QVERIFY2(aviso.contains(QStringLiteral("tizo.conf")), qPrintable(aviso));
        }
    }

    // Written and read back the same, in one step: no other file is left in the folder.
    void guardarYVolverACargar() {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("nueva/tizo/tizo.conf"));
        const Ajustes escritos = con([](Ajustes& a) {
            a.estilo.herramienta = Herramienta(4);
            a.estilo.color = 123456;
            a.estilo.grosor = 17;
            a.estilo.fuente = QStringLiteral("Señor, Grande [x] = \"y\"");
            a.estilo.tamFuente = 99;
            a.estilo.cursiva = true;
            a.estilo.subrayado = true;
            a.estilo.colorResaltador = 0x00FF00;
            a.estilo.grosorResaltador = 60;
            a.estilo.esperaLaser = 1500;
            a.estilo.desvanecerLaser = 250;
            a.tecla = QString();
        });
        for (int vez = 0; vez < 2; ++vez) { // once into a new folder, once over the file
            QCOMPARE(escritos.guardar(ruta), QString());
            Ajustes leidos;
            const QStringList avisos = leidos.cargar(ruta).avisos;
            QVERIFY2(avisos.isEmpty(), qPrintable(avisos.join(QLatin1Char('\n'))));
            QCOMPARE(leidos, escritos);
            QCOMPARE(archivosEn(QFileInfo(ruta).path()), QStringList{QStringLiteral("tizo.conf")});
        }
    }

    // A folder that cannot be written costs one line and nothing else.
    void guardarSinPermiso_data() {
        QTest::addColumn<QString>("ruta");
        // Not even root may make files there.
        QTest::newRow("folder cannot be made") << QStringLiteral("/sys/tizo/tizo.conf");
        QTest::newRow("folder cannot be written") << QStringLiteral("/sys/tizo.conf");
    }
    void guardarSinPermiso() {
        QFETCH(QString, ruta);
        const QString error = Ajustes().guardar(ruta);
        QVERIFY(!error.isEmpty());
        QVERIFY2(!error.contains(QLatin1Char('\n')), qPrintable(error));
        QVERIFY(!QFile::exists(ruta));
    }

    void nombreArchivo_data() {
        QTest::addColumn<int>("intento");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("first") << 1 << "tizo-20240305-070809.png";
        QTest::newRow("second") << 2 << "tizo-20240305-070809-2.png";
        QTest::newRow("tenth") << 10 << "tizo-20240305-070809-10.png";
    }
    void nombreArchivo() {
        QFETCH(int, intento);
        QFETCH(QString, nombre);
        const QDateTime momento(QDate(2024, 3, 5), QTime(7, 8, 9));
        QCOMPARE(GuardarImagen::nombreArchivo(momento, intento), nombre);
    }

    // Saved in a folder made for it, never over an existing file, and read back as it was.
    void guardarPng() {
        QTemporaryDir dir;
        const QString carpeta = dir.filePath(QStringLiteral("Imagenes/Tizo"));
        QImage imagen(64, 32, QImage::Format_RGB32);
        imagen.fill(Qt::darkCyan);
        imagen.setPixelColor(3, 4, Qt::red);
        const QDateTime momento(QDate(2024, 3, 5), QTime(7, 8, 9));

        // Someone's file already has the first name: it stays as it is.
        QDir().mkpath(carpeta);
        QFile ajeno(carpeta + QStringLiteral("/tizo-20240305-070809.png"));
        QVERIFY(ajeno.open(QIODevice::WriteOnly));
        ajeno.write("not ours");
        ajeno.close();

        QStringList rutas;
        for (int vez = 0; vez < 2; ++vez) {
            const GuardarImagen::Resultado r = GuardarImagen::guardarPng(imagen, carpeta, momento);
            QCOMPARE(r.error, QString());
            rutas << QFileInfo(r.ruta).fileName();
            QCOMPARE(QImage(r.ruta).convertToFormat(QImage::Format_RGB32), imagen);
        }
        QCOMPARE(rutas, (QStringList{QStringLiteral("tizo-20240305-070809-2.png"),
                                     QStringLiteral("tizo-20240305-070809-3.png")}));
        QVERIFY(ajeno.open(QIODevice::ReadOnly));
        QCOMPARE(ajeno.readAll(), QByteArray("not ours"));
        QCOMPARE(archivosEn(carpeta).size(), 3); // no temporary file left behind
    }

    // A failed save says why in a few words and leaves no file, whole or half.
    void guardarPngFalla_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("folder is a file") << "archivo";
        QTest::newRow("disk full") << "lleno";
        QTest::newRow("no image") << "vacia";
    }
    void guardarPngFalla() {
        QFETCH(QString, caso);
        QTemporaryDir dir;
        QString carpeta = dir.filePath(QStringLiteral("Tizo"));
        QImage imagen(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < imagen.height(); ++y) { // noise, so the PNG is large
            for (int x = 0; x < imagen.width(); ++x) {
                imagen.setPixel(x, y, qRgb(x * 7 ^ y * 13, x * y, x + y * 3));
            }
        }
        rlimit antes{};
        if (caso == QLatin1String("archivo")) {
            QFile archivo(carpeta);
            QVERIFY(archivo.open(QIODevice::WriteOnly));
        } else if (caso == QLatin1String("lleno")) {
            // A file size limit runs out of room as a full disk does, also for root.
            QDir().mkpath(carpeta);
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &antes);
            const rlimit poco{4096, antes.rlim_max};
            setrlimit(RLIMIT_FSIZE, &poco);
        } else {
            imagen = QImage();
        }
        const GuardarImagen::Resultado r =
            GuardarImagen::guardarPng(imagen, carpeta, QDateTime::currentDateTime());
        if (caso == QLatin1String("lleno")) {
            setrlimit(RLIMIT_FSIZE, &antes);
        }
        QVERIFY(r.ruta.isEmpty());
        QVERIFY(!r.error.isEmpty());
        if (QFileInfo(carpeta).isDir()) {
            QCOMPARE(archivosEn(carpeta), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TstArchivos)
#include "tst_archivos.moc"
