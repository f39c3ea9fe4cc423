// Gauss-Seidel lexicográfico (SOR com omega != 1) com o operador variável de cinco pontos e com o de nove pontos
// constante, com várias linhas em voo. Cada ponto espera o vizinho oeste que acabou de ser escrito, pelas somas e pela divisão
// pelo centro: uma linha sozinha anda na latência dessa cadeia. Uma faixa de linhas anda junta, cada linha algumas
// colunas atrás da de baixo (na varredura para trás, da de cima), as linhas de um passo em ordem: o ponto (i, j) lê
// a linha de baixo já nova (ela passou por i + 1 antes), o oeste novo e o leste e a linha de cima ainda antigos, os
// mesmos operandos do laço simples (solver/suavizadores_ponto.cpp), na mesma ordem: os mesmos bits, e as cadeias
// das linhas da faixa se sobrepõem.
#include <algorithm>

#include "fast/rapido.h"

namespace {

template <bool RELAXAR>
inline void guardar(double* u, long P, double w, double omega) {
    if constexpr (RELAXAR) u[P] = u[P] + omega * (w - u[P]);
    else u[P] = w;
}

// v = ((ay(P)*S + ay(P+nx)*N) + (ax(P)*W + ax(P+1)*E) [+ f(P)]) / ap(P).
struct cinco_variavel {
    static constexpr int em_voo = 8;
    const nivel_variavel& v;
    template <bool DIREITO, bool RELAXAR>
    void atualizar(long P) const {
        const long nx = v.nx;
        double* u = v.u;
        const double y = v.ay[P] * u[P - nx] + v.ay[P + nx] * u[P + nx];
        const double x = v.ax[P] * u[P - 1] + v.ax[P + 1] * u[P + 1];
        double s = y + x;
        if constexpr (DIREITO) s = s + v.f[P];
        guardar<RELAXAR>(u, P, s / v.ap[P], v.omega);
    }
};

// y = c1 S + c7 N; x = c3 W + c5 E; d = (c0 SW + c2 SE) + (c6 NW + c8 NE); v = (((y + x) + d) [+ f]) / c4, com os
// nove números do nível. Com uma coluna de atraso o sudeste já é novo: a linha de baixo faz a coluna i + 1 no mesmo
// passo, antes.
struct estencil_nove {
    static constexpr int em_voo = 8;
    const nivel_nove& v;
    double c(long, int g) const { return v.nove[g]; }
    template <bool DIREITO, bool RELAXAR>
    void atualizar(long P) const {
        const long nx = v.nx;
        double* u = v.u;
        const double y = c(P, 1) * u[P - nx] + c(P, 7) * u[P + nx];
        const double x = c(P, 3) * u[P - 1] + c(P, 5) * u[P + 1];
        const double d = (c(P, 0) * u[P - nx - 1] + c(P, 2) * u[P - nx + 1]) +
                         (c(P, 6) * u[P + nx - 1] + c(P, 8) * u[P + nx + 1]);
        double s = (y + x) + d;
        if constexpr (DIREITO) s = s + v.f[P];
        guardar<RELAXAR>(u, P, s / c(P, 4), v.omega);
    }
};

// Colunas de atraso de cada linha da faixa: as linhas em voo leem e escrevem pontos a nx - atraso doubles uns dos
// outros; com atraso 1 e nx - 1 múltiplo de 512 (2049, 4097), 16 KiB: todas as linhas nos mesmos conjuntos da L1,
// e cada leitura à espera de uma escrita que só coincide nos 12 bits de baixo. O menor atraso que separa as linhas
// em voo por uma linha de cache, módulo 4 KiB.
int atraso_das_linhas(long nx, int em_voo) {
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
template <bool DIREITO, bool RELAXAR, bool FRENTE, class E>
void faixa(const E& est, long nx, int j0, int nr, int atraso) {
    const long colunas = nx - 2;
    const long passo = FRENTE ? nx - atraso : -(nx - atraso);
    const auto base = [&](long t) { return (FRENTE ? 2 + t : nx - 1 - t) + (j0 - 1) * nx; };
    const auto passo_com_bordas = [&](long t) {
        for (int m = 0; m < nr; ++m) {
            const long c = t - static_cast<long>(m) * atraso;
            if (c >= 0 && c < colunas) est.template atualizar<DIREITO, RELAXAR>(base(t) + m * passo);
        }
    };
    const long cheio = static_cast<long>(nr - 1) * atraso, fim = colunas + cheio; // passos
    long t = 0;
    for (; t < std::min(cheio, fim); ++t) passo_com_bordas(t);
    for (; t < colunas; ++t) {
        const long P = base(t);
        for (int m = 0; m < nr; ++m) est.template atualizar<DIREITO, RELAXAR>(P + m * passo);
    }
    for (; t < fim; ++t) passo_com_bordas(t);
}

template <bool DIREITO, bool RELAXAR, bool FRENTE, class E>
void varredura(const E& est, int nx, int ny) {
    const int atraso = atraso_das_linhas(nx, E::em_voo);
    for (int b = 0; b < ny - 2; b += E::em_voo) {
        const int nr = std::min(E::em_voo, ny - 2 - b);
        faixa<DIREITO, RELAXAR, FRENTE>(est, nx, FRENTE ? 2 + b : ny - 1 - b, nr, atraso);
    }
}

template <class E, class N>
void varreduras(const N& v, int n, sentido_varredura sentido) {
    if (v.nx <= 2 || v.ny <= 2) return;
    const E est{v};
    const bool relaxar = v.omega != 1.0, frente = sentido == sentido_varredura::para_frente;
    const auto uma = v.f == nullptr
                         ? (relaxar ? (frente ? varredura<false, true, true, E> : varredura<false, true, false, E>)
                                    : (frente ? varredura<false, false, true, E> : varredura<false, false, false, E>))
                         : (relaxar ? (frente ? varredura<true, true, true, E> : varredura<true, true, false, E>)
                                    : (frente ? varredura<true, false, true, E> : varredura<true, false, false, E>));
    for (int s = 0; s < n; ++s) uma(est, v.nx, v.ny);
}

} // namespace

void lexicografica_variavel(const nivel_variavel& v, int n, sentido_varredura sentido) {
    varreduras<cinco_variavel>(v, n, sentido);
}

void lexicografica_nove(const nivel_nove& v, int n, sentido_varredura sentido) { varreduras<estencil_nove>(v, n, sentido); }
