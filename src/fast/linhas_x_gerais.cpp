// Linhas em x com o operador variável de cinco pontos e com o de nove pontos, de várias varreduras de uma vez, como
// linhas_x.cpp faz com o estêncil constante: as varreduras andam em frente de onda, cada uma duas linhas atrás da
// anterior (no passo t a varredura s resolve a linha j = 2 + t - 2s; o sul ela resolveu no passo anterior, o norte a
// varredura s-1), e as recorrências das linhas de um passo correm entrelaçadas, cada uma com os coeficientes da sua
// linha. Cada linha faz as contas do laço simples (solver/suavizadores_linha_variavel.cpp e
// suavizadores_linha_nove.cpp), na mesma ordem, para b(n) x(n) - l(n) x(n-1) - r(n) x(n+1) = d(n):
//   w(1) = b(1);  g(1) = r(1)/w(1);  h(1) = d(1)/w(1)
//   w(n) = b(n) - l(n)*g(n-1);  g(n) = r(n)/w(n);  h(n) = (d(n) + l(n)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// Variável: b = ap(P), l = ax(P), r = ax(P+1); d = (ay(P) S + ay(P+nx) N) [+ f], d(1) + ax(P) W, d(m) + ax(P+1) E.
// Nove pontos: b = c4, l = c3, r = c5; d = (c1 S + c7 N) + ((c0 SW + c2 SE) + (c6 NW + c8 NE)) [+ f],
// d(1) + c3 W, d(m) + c5 E.
#include <algorithm>

#include "fast/rapido.h"
#include "fast/thomas.h"

namespace {

constexpr int linhas_juntas = 4; // cadeias entrelaçadas, no máximo

// G varreduras em frente de onda sobre um nível nx x ny; preparar(j, linha) monta a linha j (d, b, l, r, x).
template <class F>
void frente_de_linhas_gerais(int nx, int ny, int G, double* rascunho, long mm, const F& preparar) {
    for (int t = 0; 2 + t - 2 * (G - 1) <= ny - 1; ++t) {
        linha_tridiagonal L[linhas_juntas];
        int K = 0;
        for (int s = 0; s < G; ++s) {
            const int j = 2 + t - 2 * s;
            if (j < 2 || j > ny - 1) continue;
            L[K].d = rascunho + 2 * K * mm;
            L[K].g = rascunho + (2 * K + 1) * mm;
            preparar(j, L[K]);
            ++K;
        }
        if (K > 0) thomas_geral_de(K, L, nx - 2);
    }
}

template <bool DIREITO>
void preparar_variavel(const nivel_variavel& v, int j, linha_tridiagonal& L) {
    const long nx = v.nx, P0 = 2 + (j - 1) * nx, o = P0 - 1; // o + n: o ponto n da linha
    const int m = v.nx - 2;
    const double *u = v.u, *ay = v.ay, *ax = v.ax;
    for (int n = 1; n <= m; ++n) {
        const long P = o + n;
        double d = ay[P] * u[P - nx] + ay[P + nx] * u[P + nx];
        if constexpr (DIREITO) d = d + v.f[P];
        L.d[n] = d;
    }
    L.d[1] = L.d[1] + ax[P0] * u[P0 - 1];
    L.d[m] = L.d[m] + ax[P0 + m] * u[P0 + m];
    L.b = v.ap + o;
    L.l = ax + o;
    L.r = ax + o + 1;
    L.x = v.u + o;
}

// Com nove pontos: o coeficiente g do ponto n da linha j em c[g][(j-1)*passo + 1 + n]: as grades do bloco (passo
// nx) ou, com o estêncil constante, uma linha de rascunho com os números do nível (passo 0).
template <bool DIREITO>
void preparar_nove(const nivel_nove& v, const double* const* c, long passo, int j, linha_tridiagonal& L) {
    const long nx = v.nx, P0 = 2 + (j - 1) * nx, o = P0 - 1;
    const int m = v.nx - 2;
    const double* k[9];
    for (int g = 0; g < 9; ++g) k[g] = c[g] + (j - 1) * passo + 1; // k[g][n]
    const double* u = v.u + o;                                     // u[n]: o ponto n
    for (int n = 1; n <= m; ++n) {
        double d = (k[1][n] * u[n - nx] + k[7][n] * u[n + nx]) +
                   ((k[0][n] * u[n - nx - 1] + k[2][n] * u[n - nx + 1]) +
                    (k[6][n] * u[n + nx - 1] + k[8][n] * u[n + nx + 1]));
        if constexpr (DIREITO) d = d + v.f[o + n];
        L.d[n] = d;
    }
    L.d[1] = L.d[1] + k[3][1] * u[0];
    L.d[m] = L.d[m] + k[5][m] * u[m + 1];
    L.b = k[4];
    L.l = k[3];
    L.r = k[5];
    L.x = v.u + o;
}

// O rascunho do plano do nível: 2 linhas (d e g) por varredura junta e, com o estêncil constante, nove linhas de nx
// pontos com os números do nível; devolve o começo.
double* rascunho_linhas_x(equipe& eq, int nx, int ny, long mm, long extra) {
    plano_nivel& pl = plano_do_nivel(eq, nx, ny);
    const std::size_t tamanho = static_cast<std::size_t>(2 * linhas_juntas * mm + extra);
    if (pl.linhas_x.size() < tamanho) pl.linhas_x.assign(tamanho, 0.0);
    return pl.linhas_x.data();
}

} // namespace

void varredura_linhas_x_variavel(const nivel_variavel& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const long mm = passo_de_rascunho(v.nx - 2);
    double* r = rascunho_linhas_x(eq, v.nx, v.ny, mm, 0);
    const auto preparar = v.f != nullptr ? preparar_variavel<true> : preparar_variavel<false>;
    for (int s = 0; s < varreduras; s += linhas_juntas)
        frente_de_linhas_gerais(v.nx, v.ny, std::min(linhas_juntas, varreduras - s), r, mm,
                                [&](int j, linha_tridiagonal& L) { preparar(v, j, L); });
}

void varredura_linhas_x_nove(const nivel_nove& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const long mm = passo_de_rascunho(v.nx - 2), nxy = static_cast<long>(v.nx) * v.ny;
    double* r = rascunho_linhas_x(eq, v.nx, v.ny, mm, v.bloco != nullptr ? 0 : 9L * v.nx);
    const double* c[9];
    for (int g = 0; g < 9; ++g) {
        if (v.bloco != nullptr) {
            c[g] = v.bloco + g * nxy;
            continue;
        }
        double* linha = r + 2 * linhas_juntas * mm + g * static_cast<long>(v.nx);
        std::fill(linha, linha + v.nx, v.nove[g]);
        c[g] = linha;
    }
    const long passo = v.bloco != nullptr ? v.nx : 0;
    const auto preparar = v.f != nullptr ? preparar_nove<true> : preparar_nove<false>;
    for (int s = 0; s < varreduras; s += linhas_juntas)
        frente_de_linhas_gerais(v.nx, v.ny, std::min(linhas_juntas, varreduras - s), r, mm,
                                [&](int j, linha_tridiagonal& L) { preparar(v, c, passo, j, L); });
}
