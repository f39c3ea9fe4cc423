// Linhas em y com o operador de nove pontos (Thomas em cada coluna, de oeste a leste), com a memória lida em ordem
// de linhas, como em colunas_variaveis.cpp: um bloco de colunas vizinhas é copiado, linha a linha, para colunas
// contíguas de rascunho (u com a coluna a oeste, já nova, a a leste, ainda velha, e as linhas de contorno; f; e, no
// estêncil por ponto, as nove grades do bloco), cada coluna é resolvida ali, em ordem, e o bloco volta à grade. As
// contas são as do laço simples (solver/suavizadores_linha_nove.cpp), na mesma ordem, com b = c4, l = c1, r = c7:
//   d(n) = (c3 W + c5 E) + ((c0 SW + c6 NW) + (c2 SE + c8 NE)) [+ f];  d(1) = d(1) + c1 S;  d(m) = d(m) + c7 N
//   w(1) = b(1);  g(1) = r(1)/w(1);  h(1) = d(1)/w(1)
//   w(n) = b(n) - l(n)*g(n-1);  g(n) = r(n)/w(n);  h(n) = (d(n) + l(n)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// Até quatro varreduras de uma vez, em frente de onda de blocos, com as recorrências entrelaçadas (fast/thomas.h).
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
    double* h;          // lado direito de Thomas da coluna em curso, sobrescrito por h
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

// A coluna b (1..nb) do bloco como sistema de Thomas: o lado direito em k.h; b, l e r os coeficientes 4, 1 e 7 dos
// seus pontos (por ponto a passo 9 no rascunho; constantes a passo 0).
template <bool POR_PONTO, bool DIREITO>
linha_tridiagonal coluna_nove(const bloco_nove& k, int b) {
    const long mm = k.mm;
    const int m = k.m;
    const double* oeste = k.u + (b - 1) * mm;
    double* x = k.u + b * mm;
    const double* leste = k.u + (b + 1) * mm;
    const double* f = k.f + (b - 1) * mm;
    const double* base = POR_PONTO ? k.c + (b - 1) * mm * 9 : k.nove; // o coeficiente g do ponto n: base[n*passo + g]
    const long passo = POR_PONTO ? 9 : 0;
    const auto c = [&](int g, int n) { return base[n * passo + g]; };
    for (int n = 1; n <= m; ++n) {
        const double sw_nw = c(0, n) * oeste[n - 1] + c(6, n) * oeste[n + 1];
        const double se_ne = c(2, n) * leste[n - 1] + c(8, n) * leste[n + 1];
        double d = (c(3, n) * oeste[n] + c(5, n) * leste[n]) + (sw_nw + se_ne);
        if constexpr (DIREITO) d = d + f[n];
        if (n == 1) d = d + c(1, 1) * x[0];
        if (n == m) d = d + c(7, m) * x[m + 1];
        k.h[n] = d;
    }
    return {base + 4, base + 1, base + 7, k.h, k.g, x, passo};
}

// As varreduras de uma vez, em frente de onda de blocos (frente_de_blocos_gerais).
template <bool POR_PONTO, bool DIREITO>
void frente_de_blocos_nove(const nivel_nove& v, bloco_nove* blocos, int G) {
    frente_de_blocos_gerais(
        v.nx, largura_bloco_nove, blocos, G, [&v](const bloco_nove& k) { copiar_bloco_nove<POR_PONTO, DIREITO>(v, k); },
        coluna_nove<POR_PONTO, DIREITO>, [&v](const bloco_nove& k) { devolver_bloco_nove(v, k); });
}

} // namespace

void varredura_colunas_nove(const nivel_nove& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = passo_de_rascunho(m + 1), B = largura_bloco_nove;
    const bool por_ponto = v.bloco != nullptr;
    const long por_bloco = ((por_ponto ? 11 : 2) * B + 4) * mm;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>(varreduras_em_frente * por_bloco);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    bloco_nove blocos[varreduras_em_frente];
    for (int s = 0; s < varreduras_em_frente; ++s) {
        double* r = pl.colunas.data() + s * por_bloco;
        const long fim = por_bloco - 2 * mm; // g e h depois das colunas
        blocos[s] = {r, r + (B + 2) * mm, r + (2 * B + 2) * mm, r + fim, r + fim + mm, v.nove, mm};
        blocos[s].m = m;
    }
    const bool direito = v.f != nullptr;
    auto frente = frente_de_blocos_nove<false, false>;
    if (por_ponto) frente = direito ? frente_de_blocos_nove<true, true> : frente_de_blocos_nove<true, false>;
    else if (direito) frente = frente_de_blocos_nove<false, true>;
    for (int s = 0; s < varreduras; s += varreduras_em_frente)
        frente(v, blocos, std::min(varreduras_em_frente, varreduras - s));
}
