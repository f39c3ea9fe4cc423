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
// inteiro as toca uma vez na ida e u outra na volta. Até quatro varreduras de uma vez, em frente de onda de blocos,
// com as recorrências das colunas de um passo entrelaçadas (fast/thomas.h).
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
    double* h;  // lado direito de Thomas da coluna em curso, sobrescrito por h
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

// A coluna b (1..nb) do bloco como sistema de Thomas: o lado direito em k.d, b(n) = ap, l(n) = c(n-1), r(n) = c(n).
template <bool DIREITO>
linha_tridiagonal coluna_variavel(const bloco_variavel& k, int b) {
    const long mm = k.mm;
    const int m = k.m;
    const double* oeste = k.u + (b - 1) * mm;
    double* x = k.u + b * mm;
    const double* leste = k.u + (b + 1) * mm;
    const double* f = k.f + (b - 1) * mm;
    const double* c = k.y + (b - 1) * mm; // c(n) = c[n]: ay(P + nx)
    const double* aw = k.x + (b - 1) * mm;
    const double* ae = k.x + b * mm;
    for (int n = 1; n <= m; ++n) {
        double d = aw[n] * oeste[n] + ae[n] * leste[n];
        if constexpr (DIREITO) d = d + f[n];
        if (n == 1) d = d + c[0] * x[0];
        if (n == m) d = d + c[m] * x[m + 1];
        k.h[n] = d;
    }
    return {k.p + (b - 1) * mm, c - 1, c, k.h, k.g, x};
}

} // namespace

void varredura_colunas_variavel(const nivel_variavel& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = passo_de_rascunho(m + 1), B = colunas_por_bloco, por_bloco = (5 * B + 5) * mm;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>(varreduras_em_frente * por_bloco);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    bloco_variavel blocos[varreduras_em_frente];
    for (int s = 0; s < varreduras_em_frente; ++s) {
        double* r = pl.colunas.data() + s * por_bloco;
        blocos[s] = {r, r + (B + 2) * mm, r + (2 * B + 2) * mm, r + (3 * B + 2) * mm, r + (4 * B + 2) * mm,
                     r + (5 * B + 3) * mm, r + (5 * B + 4) * mm, mm};
        blocos[s].m = m;
    }
    for (int s = 0; s < varreduras; s += varreduras_em_frente) {
        const int G = std::min(varreduras_em_frente, varreduras - s);
        const auto devolver = [&v](const bloco_variavel& k) { devolver_bloco_variavel(v, k); };
        if (v.f != nullptr)
            frente_de_blocos_gerais(v.nx, colunas_por_bloco, blocos, G,
                                    [&v](const bloco_variavel& k) { copiar_bloco_variavel<true>(v, k); },
                                    coluna_variavel<true>, devolver);
        else
            frente_de_blocos_gerais(v.nx, colunas_por_bloco, blocos, G,
                                    [&v](const bloco_variavel& k) { copiar_bloco_variavel<false>(v, k); },
                                    coluna_variavel<false>, devolver);
    }
}
