// Leitura das cotas de CPU do cgroup (só o texto dos arquivos; quem os abre é a plataforma).
#include <cerrno>
#include <cstdlib>

#include "platform/plataforma.h"

namespace {

// Inteiro positivo no começo do texto (brancos antes e depois permitidos); -1 se não houver.
long long positivo(const char* s, const char** fim) {
    char* f = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &f, 10);
    if (f == s || errno != 0 || v <= 0) return -1;
    *fim = f;
    return v;
}

} // namespace

int processadores_da_cota(const std::string& cota, const std::string& periodo) {
    const char* fim = nullptr;
    const long long q = positivo(cota.c_str(), &fim);
    if (q < 0) return 0; // "max" (v2) ou -1 (v1): sem cota
    long long p = -1;
    if (periodo.empty()) p = positivo(fim, &fim); // v2: "cota período" numa linha
    else p = positivo(periodo.c_str(), &fim);     // v1: dois arquivos
    if (p < 0) return 0;
    const long long n = (q + p - 1) / p; // 1,5 processador permite 2 threads
    return n > 4096 ? 4096 : static_cast<int>(n);
}
