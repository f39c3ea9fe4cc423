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
