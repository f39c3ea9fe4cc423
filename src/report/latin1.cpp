// Latin-1 da listagem, produzido num só lugar: os textos fixos (UTF-8 no código-fonte) e os textos da entrada
// escritos em UTF-8; e a volta, de Latin-1 para UTF-8, para o terminal, o CSV e os gráficos.
#include "report/listagem.h"

std::string latin1_de(const std::string& s, int* perdidos) {
    bool nao_ascii = false;
    for (std::size_t i = 0; i < s.size();) {
        unsigned v = 0;
        const int n = static_cast<unsigned char>(s[i]) < 0x80 ? 1 : sequencia_utf8(s, i, v);
        if (n == 0) return s; // não é UTF-8: já é Latin-1
        nao_ascii = nao_ascii || n > 1;
        i += static_cast<std::size_t>(n);
    }
    if (!nao_ascii) return s;
    std::string r;
    for (std::size_t i = 0; i < s.size();) {
        unsigned v = static_cast<unsigned char>(s[i]);
        const int n = v < 0x80 ? 1 : sequencia_utf8(s, i, v);
        if (v <= 0xFF) {
            r += static_cast<char>(v);
        } else {
            r += '?';
            if (perdidos) ++*perdidos;
        }
        i += static_cast<std::size_t>(n);
    }
    return r;
}

std::string latin1(const char* utf8) { return latin1_de(utf8); }

std::string utf8(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}
