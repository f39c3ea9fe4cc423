// Linhas em y com o operador de nove pontos (Thomas em cada coluna, de oeste a leste), com a memória lida em ordem
// de linhas, como em colunas_variaveis.cpp: um bloco de colunas vizinhas é copiado, linha a linha, para colunas
// contíguas de rascunho (u com a coluna a oeste, já nova, a a leste, ainda velha, e as linhas de contorno; f; e, no
// estêncil por ponto, as nove grades do bloco), cada coluna é resolvida ali, em ordem, e o bloco volta à grade. As
// contas são as do laço simples (solver/suavizadores_linha_nove.cpp), na mesma ordem, com b = c4, l = c1, r = c7:
//   d(n) = (c3 W + c5 E) + ((c0 SW + c6 NW) + (c2 SE + c8 NE)) [+ f];  d(1) = d(1) + c1 S;  d(m) = d(m) + c7 N
//   w(1) = b(1);  g(1) = r(1)/w(1);  h(1) = d(1)/w(1)
//   w(n) = b(n) - l(n)*g(n-1);  g(n) = r(n)/w(n);  h(n) = (d(n) + l(n)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
#include <algorithm>

#include "fast/rapido.h"
#include "fast/thomas.h"

namespace {

constexpr int largura_bloco_nove = 8;

// As colunas do bloco no rascunho, cada uma com índices 0..m+1 a passo mm.
struct bloco_nove {
    double* u;          // nb + 2 colunas: 0 a oeste, 1..nb as do bloco, nb + 1 a leste; linhas 0 e m + 1 de contorno
    double* f;          // nb colunas (1..nb guardadas em 0..nb-1)
    double* c;          // por ponto: os nove coeficientes do ponto n da coluna b juntos, c[((b - 1)*mm + n)*9 + g]
    double* g;          // recorrência g de Thomas da coluna em curso
    double* h;          // recorrência h
    const double* nove; // constante: os nove números do nível
    long mm;
    int i0 = 0, nb = 0, m = 0;
};

template <bool POR_PONTO, bool DIREITO>
void copiar_bloco_nove(const nivel_nove& v, const bloco_nove& k) {
    const long nx = v.nx, nxy = nx * v.ny, mm = k.mm;
    for (int n = 0; n <= k.m + 1; ++n) {
        const long P = k.i0 + n * nx; // linha n + 1, coluna i0
        for (int b = 0; b <= k.nb + 1; ++b) k.u[b * mm + n] = v.u[P + b - 1];
        if (n == 0 || n > k.m) continue;
        if constexpr (DIREITO)
            for (int b = 0; b < k.nb; ++b) k.f[b * mm + n] = v.f[P + b];
        if constexpr (POR_PONTO)
            for (int b = 0; b < k.nb; ++b)
                for (int g = 0; g < 9; ++g) k.c[(b * mm + n) * 9 + g] = v.bloco[g * nxy + P + b];
    }
}

void devolver_bloco_nove(const nivel_nove& v, const bloco_nove& k) {
    for (int n = 1; n <= k.m; ++n) {
        double* l = v.u + k.i0 + n * static_cast<long>(v.nx);
        for (int b = 0; b < k.nb; ++b) l[b] = k.u[(b + 1) * k.mm + n];
    }
}

// Thomas na coluna b (1..nb) do bloco, escrita na sua coluna de u no rascunho.
template <bool POR_PONTO, bool DIREITO>
void resolver_coluna_nove(const bloco_nove& k, int b) {
    const long mm = k.mm;
    const int m = k.m;
    const double* oeste = k.u + (b - 1) * mm;
    double* x = k.u + b * mm;
    const double* leste = k.u + (b + 1) * mm;
    const double* f = k.f + (b - 1) * mm;
    const auto c = [&](int g, int n) {
        if constexpr (POR_PONTO) return k.c[((b - 1) * mm + n) * 9 + g];
        else return k.nove[g];
    };
    double* g = k.g;
    double* h = k.h;
    auto lado_direito = [&](int n) {
        const double sw_nw = c(0, n) * oeste[n - 1] + c(6, n) * oeste[n + 1];
        const double se_ne = c(2, n) * leste[n - 1] + c(8, n) * leste[n + 1];
        double d = (c(3, n) * oeste[n] + c(5, n) * leste[n]) + (sw_nw + se_ne);
        if constexpr (DIREITO) d = d + f[n];
        if (n == 1) d = d + c(1, 1) * x[0];
        if (n == m) d = d + c(7, m) * x[m + 1];
        return d;
    };
    double w = c(4, 1);
    g[1] = c(7, 1) / w;
    h[1] = lado_direito(1) / w;
    for (int n = 2; n <= m; ++n) {
        const double l = c(1, n);
        w = c(4, n) - l * g[n - 1];
        g[n] = c(7, n) / w;
        h[n] = (lado_direito(n) + l * h[n - 1]) / w;
    }
    double a = h[m];
    x[m] = a;
    for (int n = m - 1; n >= 1; --n) {
        a = h[n] + g[n] * a;
        x[n] = a;
    }
}

template <bool POR_PONTO, bool DIREITO>
void varrer_blocos_nove(const nivel_nove& v, bloco_nove& k) {
    for (int i0 = 2; i0 <= v.nx - 1; i0 += largura_bloco_nove) {
        k.i0 = i0;
        k.nb = std::min(largura_bloco_nove, v.nx - 1 - i0 + 1);
        copiar_bloco_nove<POR_PONTO, DIREITO>(v, k);
        for (int b = 1; b <= k.nb; ++b) resolver_coluna_nove<POR_PONTO, DIREITO>(k, b);
        devolver_bloco_nove(v, k);
    }
}

} // namespace

void varredura_colunas_nove(const nivel_nove& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = passo_de_rascunho(m + 1), B = largura_bloco_nove;
    const bool por_ponto = v.bloco != nullptr;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>(((por_ponto ? 11 : 2) * B + 4) * mm);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    double* r = pl.colunas.data();
    bloco_nove k{r, r + (B + 2) * mm, r + (2 * B + 2) * mm, r + (2 * B + 2) * mm, r + (2 * B + 3) * mm, v.nove, mm};
    if (por_ponto) k.g = r + (11 * B + 2) * mm, k.h = r + (11 * B + 3) * mm;
    k.m = m;
    const bool direito = v.f != nullptr;
    const auto varrer = por_ponto ? (direito ? varrer_blocos_nove<true, true> : varrer_blocos_nove<true, false>)
                                  : (direito ? varrer_blocos_nove<false, true> : varrer_blocos_nove<false, false>);
    for (int s = 0; s < varreduras; ++s) varrer(v, k);
}
