// Mensagens e monitor no conjunto de caracteres do terminal, com os caracteres de controle e as marcas de direção
// do texto (bidi: U+202E e as demais) escapados (\033, \342\200\256): um nome vindo de outra pessoa não comanda o
// terminal de ninguém nem inverte o que ele mostra.
#include <cstdio>

#include "report/listagem.h"

namespace {

void escapar(std::string& r, unsigned char c) {
    char b[8];
    std::snprintf(b, sizeof b, "\\%03o", c);
    r += b;
}

void ponto_utf8(std::string& r, unsigned v) {
    if (v < 0x80) {
        r += static_cast<char>(v);
    } else if (v < 0x800) {
        r += static_cast<char>(0xC0 | (v >> 6));
        r += static_cast<char>(0x80 | (v & 0x3F));
    } else if (v < 0x10000) {
        r += static_cast<char>(0xE0 | (v >> 12));
        r += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (v & 0x3F));
    } else {
        r += static_cast<char>(0xF0 | (v >> 18));
        r += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
        r += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (v & 0x3F));
    }
}

// Marcas e isolamentos de direção do texto: trocam a ordem em que o terminal mostra o que vem depois.
bool bidirecional(unsigned v) {
    return v == 0x061C || v == 0x200E || v == 0x200F || (v >= 0x202A && v <= 0x202E) || (v >= 0x2066 && v <= 0x2069);
}

} // namespace

int sequencia_utf8(const std::string& s, std::size_t i, unsigned& v) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned c = b(i);
    int n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size()) return 0;
    v = c & (0xFF >> (n + 1));
    for (int k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    const unsigned minimo[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < minimo[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    return n;
}

std::string para_terminal(const std::string& s, conjunto_caracteres destino) {
    std::string r;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned v = 0;
        int n = c >= 0x80 ? sequencia_utf8(s, i, v) : 1;
        if (n == 0) v = c, n = 1; // byte solto: lido como Latin-1
        else if (c < 0x80) v = c;
        if (v < 0x20 || v == 0x7F || (v >= 0x80 && v < 0xA0) || bidirecional(v)) {
            for (int k = 0; k < n; ++k) escapar(r, static_cast<unsigned char>(s[i + k]));
        } else if (v < 0x80 || destino == conjunto_caracteres::utf8) {
            ponto_utf8(r, v);
        } else if (destino == conjunto_caracteres::latin1) {
            r += v <= 0xFF ? static_cast<char>(v) : '?';
        } else {
            for (int k = 0; k < n; ++k) escapar(r, static_cast<unsigned char>(s[i + k]));
        }
        i += static_cast<std::size_t>(n);
    }
    return r;
}

void escrever_mensagem(const std::string& s) {
    const std::string m = "placa: " + para_terminal(s, conjunto_do_terminal()) + "\n";
    std::fputs(m.c_str(), stderr);
}

std::string no_terminal(const std::string& linha) { return para_terminal(linha, conjunto_do_terminal()) + "\n"; }

std::string numero_terminal(double v) { return texto_simples(cientifico(v, 15, 6)); }

std::size_t largura(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}
