#include "device/DeviceLibrary.h"

#include "device/Cp1250.h"

#include <sstream>

namespace dev {

QString libraryName(Library lib) {
    return lib == Library::User ? QStringLiteral("TavoUser") : QStringLiteral("TavoSrv");
}

Arg Arg::integer(int32_t v) {
    Arg a;
    a.kind = Kind::Int;
    a.i = v;
    return a;
}

Arg Arg::real(double v) {
    Arg a;
    a.kind = Kind::Double;
    a.d = v;
    return a;
}

Arg Arg::text1250(const QString& s) {
    return bytes(toCp1250(s));
}

Arg Arg::bytes(const QByteArray& raw) {
    Arg a;
    a.kind = Kind::Text;
    a.text = raw;
    return a;
}

Arg Arg::null() {
    Arg a;
    a.kind = Kind::Text;
    return a;
}

std::string Arg::describe() const {
    std::ostringstream os;
    switch (kind) {
    case Kind::Int:
        os << "int " << i;
        break;
    case Kind::Double:
        os << "double " << d;
        break;
    case Kind::Text:
        if (text)
            os << "text \"" << text->toStdString() << '"';
        else
            os << "text NULL";
        break;
    }
    return os.str();
}

} // namespace dev
