// Linhas em y com o operador variável de cinco pontos (Thomas em cada coluna, de oeste a leste, com os coeficientes
// dela), com a memória lida em ordem de linhas. Um bloco de colunas vizinhas é copiado, linha a linha, para colunas
// contíguas de rascunho: u (com a coluna a oeste, já nova, a a leste, ainda velha, e as linhas de contorno), f, ap,
// ay (das arestas 0..m de cada coluna) e ax (das nb + 1 arestas verticais do bloco). Cada coluna é resolvida ali,
// em ordem, e o bloco volta à grade. As contas são as do laço simples (solver/suavizadores_linha_variavel.cpp), na
// mesma ordem, com b(n) = ap(P), c(n) = ay(P + nx):
//   d(n) = ax(P)*W + ax(P+1)*E [+ f(P)];  d(1) = d(1) + ay(P0)*S;  d(m) = d(m) + ay(P0 + m nx)*N
//   w(1) = b(1);  g(1) = c(1)/w(1);  h(1) = d(1)/w(1)
//   w(n) = b(n) - c(n-1)*g(n-1);  g(n) = c(n)/w(n);  h(n) = (d(n) + c(n-1)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// No laço simples cada coluna toca cinco páginas de memória por ponto (ap, ax duas vezes, ay, u, f); aqui o bloco
// inteiro as toca uma vez na ida e u outra na volta.
#include <algorithm>

#include "fast/rapido.h"
#include "fast/thomas.h"

namespace {

constexpr int colunas_por_bloco = 8;

// As colunas do bloco no rascunho, cada uma com índices 0..m+1 a passo mm.
struct bloco_variavel {
    double* u;  // nb + 2 colunas: 0 a oeste, 1..nb as do bloco, nb + 1 a leste; linhas 0 e m + 1 de contorno
    double* f;  // nb colunas (1..nb guardadas em 0..nb-1)
    double* p;  // ap, idem
    double* y;  // ay da aresta sul do ponto n (y[0]: a aresta do contorno sul, y[m]: a do norte), idem
    double* x;  // ax das nb + 1 arestas verticais: x[b] a oeste da coluna b do bloco (b = 1..nb+1)
    double* g;  // recorrência g de Thomas da coluna em curso
    double* h;  // recorrência h
    long mm;
    int i0 = 0, nb = 0, m = 0;
};

template <bool DIREITO>
void copiar_bloco_variavel(const nivel_variavel& v, const bloco_variavel& k) {
    const long nx = v.nx, mm = k.mm;
    for (int n = 0; n <= k.m + 1; ++n) {
        const long P = k.i0 + (n + 1) * nx - nx; // linha n + 1, coluna i0
        for (int b = 0; b <= k.nb + 1; ++b) k.u[b * mm + n] = v.u[P + b - 1];
        if (n > k.m) continue;
        for (int b = 0; b < k.nb; ++b) k.y[b * mm + n] = v.ay[P + nx + b];
        if (n == 0) continue;
        for (int b = 0; b < k.nb; ++b) k.p[b * mm + n] = v.ap[P + b];
        for (int b = 0; b <= k.nb; ++b) k.x[b * mm + n] = v.ax[P + b];
        if constexpr (DIREITO)
            for (int b = 0; b < k.nb; ++b) k.f[b * mm + n] = v.f[P + b];
    }
}

void devolver_bloco_variavel(const nivel_variavel& v, const bloco_variavel& k) {
    for (int n = 1; n <= k.m; ++n) {
        double* l = v.u + k.i0 + n * static_cast<long>(v.nx);
        for (int b = 0; b < k.nb; ++b) l[b] = k.u[(b + 1) * k.mm + n];
    }
}

// Thomas na coluna b (1..nb) do bloco, escrita na sua coluna de u no rascunho.
template <bool DIREITO>
void resolver_coluna_variavel(const bloco_variavel& k, int b) {
    const long mm = k.mm;
    const int m = k.m;
    const double* oeste = k.u + (b - 1) * mm;
    double* x = k.u + b * mm;
    const double* leste = k.u + (b + 1) * mm;
    const double* f = k.f + (b - 1) * mm;
    const double* ap = k.p + (b - 1) * mm;
    const double* c = k.y + (b - 1) * mm; // c(n) = c[n]: ay(P + nx)
    const double* aw = k.x + (b - 1) * mm;
    const double* ae = k.x + b * mm;
    double* g = k.g;
    double* h = k.h;
    auto lado_direito = [&](int n) {
        double d = aw[n] * oeste[n] + ae[n] * leste[n];
        if constexpr (DIREITO) d = d + f[n];
        if (n == 1) d = d + c[0] * x[0];
        if (n == m) d = d + c[m] * x[m + 1];
        return d;
    };
    double w = ap[1];
    g[1] = c[1] / w;
    h[1] = lado_direito(1) / w;
    for (int n = 2; n <= m; ++n) {
        w = ap[n] - c[n - 1] * g[n - 1];
        g[n] = c[n] / w;
        h[n] = (lado_direito(n) + c[n - 1] * h[n - 1]) / w;
    }
    double a = h[m];
    x[m] = a;
    for (int n = m - 1; n >= 1; --n) {
        a = h[n] + g[n] * a;
        x[n] = a;
    }
}

template <bool DIREITO>
void varrer_blocos_variaveis(const nivel_variavel& v, bloco_variavel& k) {
    for (int i0 = 2; i0 <= v.nx - 1; i0 += colunas_por_bloco) {
        k.i0 = i0;
        k.nb = std::min(colunas_por_bloco, v.nx - 1 - i0 + 1);
        copiar_bloco_variavel<DIREITO>(v, k);
        for (int b = 1; b <= k.nb; ++b) resolver_coluna_variavel<DIREITO>(k, b);
        devolver_bloco_variavel(v, k);
    }
}

} // namespace

void varredura_colunas_variavel(const nivel_variavel& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = passo_de_rascunho(m + 1), B = colunas_por_bloco;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>((5 * B + 5) * mm);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    double* r = pl.colunas.data();
    bloco_variavel k{r, r + (B + 2) * mm, r + (2 * B + 2) * mm, r + (3 * B + 2) * mm, r + (4 * B + 2) * mm,
                     r + (5 * B + 3) * mm, r + (5 * B + 4) * mm, mm};
    k.m = m;
    for (int s = 0; s < varreduras; ++s) {
        if (v.f != nullptr) varrer_blocos_variaveis<true>(v, k);
        else varrer_blocos_variaveis<false>(v, k);
    }
}
