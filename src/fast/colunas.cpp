// Linhas em y (Thomas em cada coluna, de oeste a leste) com a memória lida e escrita em ordem de linhas: um bloco de
// colunas vizinhas é copiado, linha a linha, para colunas contíguas de rascunho (com a coluna a oeste, já nova, e
// a a leste, ainda antiga), resolvido ali coluna a coluna e copiado de volta. Cada coluna faz as contas do laço
// simples (solver/suavizadores_linha.cpp), com os mesmos operandos:
//   w(1) = ap;  g(1) = e / w(1);  w(n) = ap - e*g(n-1);  g(n) = e / w(n)   (e = an)
//   d(n) = ae*(W + E) [+ f];  d(1) = d(1) + an*S;  d(m) = d(m) + an*N
//   h(1) = d(1) / w(1);  h(n) = (d(n) + e*h(n-1)) / w(n);  x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// No laço simples cada coluna toca uma página de memória por ponto (as linhas de um nível grande distam mais de
// 4 KiB) três vezes; aqui o bloco inteiro a toca duas.
#include <algorithm>

#include "fast/rapido.h"

namespace {

constexpr int colunas_do_bloco = 8;

// Coluna b do bloco (0: a oeste; 1..nb: as do bloco; nb+1: a leste), índices 1..m.
struct bloco_colunas {
    double* u;
    const double* f;
    long nx, mm; // mm = m + 1 posições por coluna de rascunho
    int m;
    double* t;   // nb + 2 colunas de u
    double* fb;  // nb colunas do lado direito
    double* col(int b) const { return t + b * mm; }
};

template <bool DIREITO>
void copiar_bloco(const bloco_colunas& z, int i0, int nb) {
    for (int n = 1; n <= z.m; ++n) {
        const double* l = z.u + n * z.nx + i0 - 1; // linha n+1, coluna i0-1
        for (int b = 0; b <= nb + 1; ++b) z.t[b * z.mm + n] = l[b];
        if constexpr (DIREITO) {
            const double* g = z.f + n * z.nx + i0;
            for (int b = 0; b < nb; ++b) z.fb[b * z.mm + n] = g[b];
        }
    }
}

void devolver_bloco(const bloco_colunas& z, int i0, int nb) {
    for (int n = 1; n <= z.m; ++n) {
        double* l = z.u + n * z.nx + i0;
        for (int b = 0; b < nb; ++b) l[b] = z.t[(b + 1) * z.mm + n];
    }
}

// A coluna b do bloco (coluna i da grade), resolvida no rascunho.
template <bool DIREITO>
void resolver_coluna(const bloco_colunas& z, int b, long i, const double* w, const double* g, double* h, double ae,
                     double an) {
    const int m = z.m;
    const double* oeste = z.col(b - 1);
    const double* leste = z.col(b + 1);
    const double* f = DIREITO ? z.fb + (b - 1) * z.mm : nullptr;
    double* x = z.col(b);
    auto d = [&](int n) {
        double v = ae * (oeste[n] + leste[n]);
        if constexpr (DIREITO) v = v + f[n];
        if (n == 1) v = v + an * z.u[i];                    // S: a linha 1
        if (n == m) v = v + an * z.u[i + (m + 1) * z.nx];   // N: a linha ny
        return v;
    };
    double anterior = d(1) / w[1];
    h[1] = anterior;
    for (int n = 2; n <= m; ++n) {
        anterior = (d(n) + an * anterior) / w[n];
        h[n] = anterior;
    }
    double seguinte = h[m];
    x[m] = seguinte;
    for (int n = m - 1; n >= 1; --n) {
        seguinte = h[n] + g[n] * seguinte;
        x[n] = seguinte;
    }
}

template <bool DIREITO>
void varrer_colunas(const bloco_colunas& z, const double* w, const double* g, double* h, double ae, double an) {
    for (int i0 = 2; i0 <= z.nx - 1; i0 += colunas_do_bloco) {
        const int nb = std::min<int>(colunas_do_bloco, static_cast<int>(z.nx - i0));
        copiar_bloco<DIREITO>(z, i0, nb);
        for (int b = 1; b <= nb; ++b) resolver_coluna<DIREITO>(z, b, i0 + b - 1, w, g, h, ae, an);
        devolver_bloco(z, i0, nb);
    }
}

} // namespace

void varredura_colunas(const nivel_passada& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = m + 1;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>((3 + 2 * colunas_do_bloco + 2) * mm);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    double* w = pl.colunas.data();
    double* g = w + mm;
    double* h = g + mm;
    const bloco_colunas z{v.u, v.f, v.nx, mm, m, h + mm, h + mm + (colunas_do_bloco + 2) * mm};
    const double e = v.an, ap = v.ap;
    w[1] = ap;
    g[1] = e / w[1];
    for (int n = 2; n <= m; ++n) {
        w[n] = ap - e * g[n - 1];
        g[n] = e / w[n];
    }
    for (int s = 0; s < varreduras; ++s) {
        if (v.f != nullptr) varrer_colunas<true>(z, w, g, h, v.ae, v.an);
        else varrer_colunas<false>(z, w, g, h, v.ae, v.an);
    }
}
