#include "report/listagem.h"

std::string latin1(const char* utf8) {
    std::string s;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
        if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
            s += static_cast<char>(((*p & 0x03) << 6) | (p[1] & 0x3F));
            ++p;
        } else {
            s += static_cast<char>(*p);
        }
    }
    return s;
}
