// Varredura lexicográfica para trás (j e i decrescentes) com linhas em voo, escalar: a volta do Gauss-Seidel
// simétrico. Nessa ordem as linhas e colunas de índice maior (P+nx, P+1) já são desta varredura e as de índice
// menor (P-nx, P-1) ainda da anterior. Cada ponto faz a conta do núcleo de referência, com os operandos na ordem
// da memória: v = an*(T(P-nx) + T(P+nx)) + ae*(T(P-1) + T(P+1)), depois v + f(P) onde há lado direito, depois
// v * (1/ap). As linhas andam em faixas de oito, cada uma quatro colunas atrás da anterior (na ordem da
// varredura): no passo t a linha m da faixa faz a t - 4m-ésima coluna dela; a de antes fez aquela coluna quatro
// passos antes e a de depois a fará quatro passos depois, de modo que os operandos são os mesmos da ordem simples.
#include <algorithm>

#include "fast/passada.h"

namespace {

constexpr int linhas_em_voo = 8;
constexpr int atraso = 4;

// Uma faixa: linha de memória da sua linha m = j0 - m; coluna de memória do seu passo c (c = 0..w-1) = c0 - c.
struct faixa {
    double* u;
    const double* f;
    long nx;
    long j0, c0;
    int nr, w;
    double ae, an, q;
    long deslocamento(int m, int c) const { return (j0 - m - 1) * nx + (c0 - c); }
};

// Passos [t0, t1), só as linhas que têm coluna em cada passo.
template <bool DIREITO>
void bordas(const faixa& z, int t0, int t1) {
    const long nx = z.nx;
    for (int t = t0; t < t1; ++t) {
        const int m0 = t >= z.w ? (t - z.w + atraso) / atraso : 0, m1 = std::min(z.nr - 1, t / atraso);
        for (int m = m0; m <= m1; ++m) {
            const long o = z.deslocamento(m, t - atraso * m);
            double* x = z.u + o;
            double v = z.an * (x[-nx] + x[nx]) + z.ae * (x[-1] + x[1]);
            if constexpr (DIREITO) v = v + z.f[o];
            x[0] = v * z.q;
        }
    }
}

// Passos [t0, t1) em que as NR linhas têm coluna: T(P+1), já novo, vem por registrador com o valor da memória.
template <int NR, bool DIREITO>
void regime(const faixa& z, int t0, int t1) {
    const long nx = z.nx;
    const double ae = z.ae, an = z.an, q = z.q;
    double* l[NR];
    const double* g[NR];
    double novo[NR];
    for (int m = 0; m < NR; ++m) {
        const long o = z.deslocamento(m, t0 - atraso * m);
        l[m] = z.u + o;
        g[m] = DIREITO ? z.f + o : nullptr;
        novo[m] = l[m][1];
    }
    for (int n = 0; n < t1 - t0; ++n) {
        double d[NR];
        if constexpr (DIREITO)
            for (int m = 0; m < NR; ++m) d[m] = g[m][-n];
#pragma GCC unroll 8
        for (int m = NR - 1; m >= 0; --m) {
            double* x = l[m] - n;
            double v = an * (x[-nx] + x[nx]) + ae * (x[-1] + novo[m]);
            if constexpr (DIREITO) v = v + d[m];
            v = v * q;
            x[0] = v;
            novo[m] = v;
        }
    }
}

template <bool DIREITO>
void regime_de(const faixa& z, int t0, int t1) {
    switch (z.nr) {
    case 1: regime<1, DIREITO>(z, t0, t1); break;
    case 2: regime<2, DIREITO>(z, t0, t1); break;
    case 3: regime<3, DIREITO>(z, t0, t1); break;
    case 4: regime<4, DIREITO>(z, t0, t1); break;
    case 5: regime<5, DIREITO>(z, t0, t1); break;
    case 6: regime<6, DIREITO>(z, t0, t1); break;
    case 7: regime<7, DIREITO>(z, t0, t1); break;
    default: regime<linhas_em_voo, DIREITO>(z, t0, t1); break;
    }
}

template <bool DIREITO>
void varrer(const faixa& z) {
    const int a = atraso * (z.nr - 1), b = z.w, nt = z.w + a;
    if (a >= b) {
        bordas<DIREITO>(z, 0, nt);
        return;
    }
    bordas<DIREITO>(z, 0, a);
    regime_de<DIREITO>(z, a, b);
    bordas<DIREITO>(z, b, nt);
}

} // namespace

void varredura_para_tras(const nivel_passada& v) {
    if (v.nx <= 2 || v.ny <= 2) return;
    faixa z{v.u, v.f, v.nx, 0, v.nx - 1, 0, v.nx - 2, v.ae, v.an, 1.0 / v.ap};
    for (int k = 0; k < v.ny - 2; k += linhas_em_voo) { // k-ésima linha interna na ordem da varredura
        z.j0 = v.ny - 1 - k;
        z.nr = std::min(linhas_em_voo, v.ny - 2 - k);
        if (v.f != nullptr) varrer<true>(z);
        else varrer<false>(z);
    }
}
