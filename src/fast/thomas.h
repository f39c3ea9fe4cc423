// Recorrências de Thomas de K sistemas independentes, entrelaçadas: as cadeias de dependência (uma divisão por ponto
// na eliminação, uma multiplicação e uma soma na volta) correm lado a lado, e o processador sobrepõe umas às
// outras. Cada sistema faz as contas do laço simples (solver/suavizadores_linha.cpp), na mesma ordem:
//   h(1) = d(1) / w(1);  h(n) = (d(n) + e*h(n-1)) / w(n);  x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
#pragma once

// Distância entre dois vetores de rascunho de índices 1..m: ao menos m + 1, arredondada a 64 bytes e mais 64, de
// modo que vetores vizinhos não distem um múltiplo de 4 KiB (cairiam nos mesmos conjuntos da cache L1, e as
// cargas de um pareceriam depender das escritas do outro).
inline long passo_de_rascunho(int m) { return (static_cast<long>(m) + 1 + 7) / 8 * 8 + 8; }

// w e g de Thomas (índices 1..m) para ap*x(n) - e*x(n-1) - e*x(n+1) = d(n).
inline void coeficientes_thomas(double* w, double* g, int m, double e, double ap) {
    w[1] = ap;
    g[1] = e / w[1];
    for (int n = 2; n <= m; ++n) {
        w[n] = ap - e * g[n - 1];
        g[n] = e / w[n];
    }
}

// d[k][1..m]: o lado direito do sistema k, sobrescrito por h; x[k][1..m]: a solução.
template <int K>
void thomas_entrelacado(const double* w, const double* g, double e, int m, double* const* d, double* const* x) {
    double a[K];
    for (int k = 0; k < K; ++k) {
        a[k] = d[k][1] / w[1];
        d[k][1] = a[k];
    }
    for (int n = 2; n <= m; ++n)
        for (int k = 0; k < K; ++k) {
            a[k] = (d[k][n] + e * a[k]) / w[n];
            d[k][n] = a[k];
        }
    for (int k = 0; k < K; ++k) x[k][m] = a[k];
    for (int n = m - 1; n >= 1; --n)
        for (int k = 0; k < K; ++k) {
            a[k] = d[k][n] + g[n] * a[k];
            x[k][n] = a[k];
        }
}

// K de 1 a 4 escolhido em tempo de execução.
inline void thomas_de(int K, const double* w, const double* g, double e, int m, double* const* d, double* const* x) {
    switch (K) {
    case 1: thomas_entrelacado<1>(w, g, e, m, d, x); break;
    case 2: thomas_entrelacado<2>(w, g, e, m, d, x); break;
    case 3: thomas_entrelacado<3>(w, g, e, m, d, x); break;
    default: thomas_entrelacado<4>(w, g, e, m, d, x); break;
    }
}

// Thomas não simétrico de K sistemas entrelaçados, b(n) x(n) - l(n) x(n-1) - r(n) x(n+1) = d(n), cada um com os
// seus coeficientes, nas contas dos laços simples com o operador variável e com o de nove pontos:
//   w(1) = b(1);  g(1) = r(1)/w(1);  h(1) = d(1)/w(1)
//   w(n) = b(n) - l(n)*g(n-1);  g(n) = r(n)/w(n);  h(n) = (d(n) + l(n)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// Um sistema: b, l e r do ponto n em b[n*passo] (passo 0: os mesmos em todo ponto), d[1..m] sobrescrito por h, g de
// rascunho, x a solução (x[n] a incógnita n).
struct linha_tridiagonal {
    const double *b, *l, *r;
    double *d, *g, *x;
    long passo = 1;
};

template <int K>
void thomas_geral(const linha_tridiagonal* L, int m) {
    double w[K], h[K];
    for (int k = 0; k < K; ++k) {
        w[k] = L[k].b[L[k].passo];
        L[k].g[1] = L[k].r[L[k].passo] / w[k];
        h[k] = L[k].d[1] / w[k];
        L[k].d[1] = h[k];
    }
    for (int n = 2; n <= m; ++n)
        for (int k = 0; k < K; ++k) {
            const long P = n * L[k].passo;
            const double l = L[k].l[P];
            w[k] = L[k].b[P] - l * L[k].g[n - 1];
            L[k].g[n] = L[k].r[P] / w[k];
            h[k] = (L[k].d[n] + l * h[k]) / w[k];
            L[k].d[n] = h[k];
        }
    for (int k = 0; k < K; ++k) L[k].x[m] = h[k];
    for (int n = m - 1; n >= 1; --n)
        for (int k = 0; k < K; ++k) {
            h[k] = L[k].d[n] + L[k].g[n] * h[k];
            L[k].x[n] = h[k];
        }
}

inline void thomas_geral_de(int K, const linha_tridiagonal* L, int m) {
    switch (K) {
    case 1: thomas_geral<1>(L, m); break;
    case 2: thomas_geral<2>(L, m); break;
    case 3: thomas_geral<3>(L, m); break;
    default: thomas_geral<4>(L, m); break;
    }
}

// Linhas em y por blocos de colunas, G varreduras (até varreduras_em_frente) em frente de onda, cada uma dois blocos
// atrás da anterior: no passo t a varredura s faz o bloco t - 2s, cuja coluna a oeste ela devolveu no passo anterior
// e cujas colunas e a a leste a varredura s-1 devolveu antes deste passo; a coluna b dos blocos de um passo correm
// com as recorrências entrelaçadas. blocos[s] (campos i0, nb, m) é o rascunho da varredura s; copiar(k) lê o bloco da grade,
// coluna(k, b) monta o sistema da coluna b e devolver(k) escreve o bloco na grade.
inline constexpr int varreduras_em_frente = 4;

template <class B, class C, class S, class D>
void frente_de_blocos_gerais(int nx, int largura, B* blocos, int G, const C& copiar, const S& coluna,
                             const D& devolver) {
    const int total = (nx - 2 + largura - 1) / largura;
    for (int t = 0; t - 2 * (G - 1) < total; ++t) {
        B* ativos[varreduras_em_frente];
        int K = 0;
        for (int s = 0; s < G; ++s) {
            const int q = t - 2 * s;
            if (q < 0 || q >= total) continue;
            B& k = blocos[s];
            k.i0 = 2 + q * largura;
            k.nb = largura < nx - k.i0 ? largura : nx - k.i0;
            copiar(k);
            ativos[K++] = &k;
        }
        for (int b = 1; b <= largura; ++b) {
            linha_tridiagonal L[varreduras_em_frente];
            int n = 0;
            for (int a = 0; a < K; ++a)
                if (b <= ativos[a]->nb) L[n++] = coluna(*ativos[a], b);
            if (n > 0) thomas_geral_de(n, L, ativos[0]->m);
        }
        for (int a = 0; a < K; ++a) devolver(*ativos[a]);
    }
}
