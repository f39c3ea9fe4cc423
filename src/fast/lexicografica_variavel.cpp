// Gauss-Seidel lexicográfico (SOR com omega != 1) com o operador variável de cinco pontos, com várias linhas em voo.
// Cada ponto espera o vizinho oeste que acabou de ser escrito, por duas somas e a divisão por ap(P): uma linha sozinha
// anda na latência dessa cadeia. Uma faixa de linhas anda junta, cada linha uma coluna atrás da de baixo (na
// varredura para trás, da de cima): o ponto (i, j) lê o sul já novo (a linha de baixo passou por i no passo
// anterior), o oeste novo e o leste e o norte ainda antigos (a linha de cima passa por i no passo seguinte), os mesmos
// operandos do laço simples (solver/suavizadores_ponto.cpp), na mesma ordem: os mesmos bits, e as cadeias das linhas
// da faixa se sobrepõem.
#include <algorithm>

#include "fast/rapido.h"

namespace {

constexpr int em_voo = 8; // linhas de uma faixa

// v = ((ay(P)*S + ay(P+nx)*N) + (ax(P)*W + ax(P+1)*E) [+ f(P)]) / ap(P); omega != 1: u + omega*(v - u).
template <bool DIREITO, bool RELAXAR>
inline void atualizar(const nivel_variavel& v, long P) {
    const long nx = v.nx;
    double* u = v.u;
    const double y = v.ay[P] * u[P - nx] + v.ay[P + nx] * u[P + nx];
    const double x = v.ax[P] * u[P - 1] + v.ax[P + 1] * u[P + 1];
    double s = y + x;
    if constexpr (DIREITO) s = s + v.f[P];
    const double w = s / v.ap[P];
    if constexpr (RELAXAR) u[P] = u[P] + v.omega * (w - u[P]);
    else u[P] = w;
}

// Colunas de atraso de cada linha da faixa: as linhas em voo leem e escrevem pontos a nx - atraso doubles uns dos
// outros; com atraso 1 e nx - 1 múltiplo de 512 (2049, 4097), 16 KiB: todas as linhas nos mesmos conjuntos da L1,
// e cada leitura à espera de uma escrita que só coincide nos 12 bits de baixo. O menor atraso que separa as linhas
// em voo por uma linha de cache, módulo 4 KiB.
int atraso_das_linhas(long nx) {
    for (int atraso = 1; atraso < 64; ++atraso) {
        bool separadas = true;
        for (long m = 1; m < em_voo && separadas; ++m) {
            const long d = m * (nx - atraso) * static_cast<long>(sizeof(double)) % 4096;
            separadas = d >= 64 && d <= 4096 - 64;
        }
        if (separadas) return atraso;
    }
    return 1;
}

// As linhas j0, j0 + d, ..., j0 + (nr-1)*d (d = 1 para a frente, -1 para trás): no passo t a linha m faz a coluna
// c = t - m*atraso (contada a partir do começo da varredura), o ponto P(t) + m*passo.
template <bool DIREITO, bool RELAXAR, bool FRENTE>
void faixa(const nivel_variavel& v, int j0, int nr, int atraso) {
    const long nx = v.nx, colunas = nx - 2;
    const long passo = FRENTE ? nx - atraso : -(nx - atraso);
    const auto base = [&](long t) { return (FRENTE ? 2 + t : nx - 1 - t) + (j0 - 1) * nx; };
    const auto passo_com_bordas = [&](long t) {
        for (int m = 0; m < nr; ++m) {
            const long c = t - static_cast<long>(m) * atraso;
            if (c >= 0 && c < colunas) atualizar<DIREITO, RELAXAR>(v, base(t) + m * passo);
        }
    };
    const long cheio = static_cast<long>(nr - 1) * atraso, fim = colunas + cheio; // passos
    long t = 0;
    for (; t < std::min(cheio, fim); ++t) passo_com_bordas(t);
    for (; t < colunas; ++t) {
        const long P = base(t);
        for (int m = 0; m < nr; ++m) atualizar<DIREITO, RELAXAR>(v, P + m * passo);
    }
    for (; t < fim; ++t) passo_com_bordas(t);
}

template <bool DIREITO, bool RELAXAR, bool FRENTE>
void varredura(const nivel_variavel& v) {
    const int atraso = atraso_das_linhas(v.nx);
    for (int b = 0; b < v.ny - 2; b += em_voo) {
        const int nr = std::min(em_voo, v.ny - 2 - b);
        faixa<DIREITO, RELAXAR, FRENTE>(v, FRENTE ? 2 + b : v.ny - 1 - b, nr, atraso);
    }
}

template <bool FRENTE>
void uma_varredura(const nivel_variavel& v) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.f == nullptr ? (relaxar ? varredura<false, true, FRENTE> : varredura<false, false, FRENTE>)
                                   : (relaxar ? varredura<true, true, FRENTE> : varredura<true, false, FRENTE>);
    de(v);
}

} // namespace

void lexicografica_variavel(const nivel_variavel& v, int varreduras, sentido_varredura sentido) {
    if (v.nx <= 2 || v.ny <= 2) return;
    for (int s = 0; s < varreduras; ++s) {
        if (sentido == sentido_varredura::para_frente) uma_varredura<true>(v);
        else uma_varredura<false>(v);
    }
}
