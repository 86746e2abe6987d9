// Writes the program's icon into an icon theme folder, one PNG file per size
// the program draws: DIR/16x16/apps/velmor-rehber.png and so on. The files
// come from the same drawing as the window icon, so the two never differ.
#include "ui/common/appicon.h"

#include <QDir>
#include <QString>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: velmor-rendericon DIR\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : velmor::kApplicationIconSizes) {
        const QString folder = u"%1x%1/apps"_s.arg(size);
        const QString path = root.filePath(folder + u"/velmor-rehber.png"_s);
        if (!root.mkpath(folder) || !velmor::ApplicationIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "velmor-rendericon: cannot write %s\n", qUtf8Printable(path));
            return 1;
        }
    }
    return 0;
}
