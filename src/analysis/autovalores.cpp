// Autovalores de matrizes complexas pequenas: balanceamento, Hessenberg por Householder, QR com deslocamento.
// Os laços quentes escrevem os produtos complexos em aritmética real, na mesma forma que o compilador dá a
// std::complex ((xr yr - xi yi, xr yi + xi yr), sem o desvio para NaN que impede a vetorização): os mesmos bits.
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/analise.h"

namespace {

// |re| + |im|: barato e equivalente a |z| a menos de sqrt(2), bom para testes de desprezo.
double abs1(complexo z) { return std::fabs(z.real()) + std::fabs(z.imag()); }

// Balanceamento (Parlett e Reinsch): semelhança diagonal por potências de 2 (sem arredondamento) que iguala
// as normas de cada linha e coluna; sem ele, uma matriz como a da LFA com injeção perto de theta = 0
// (entradas de 1/theta^2 numa linha, theta^2 numa coluna) perde os autovalores para o arredondamento.
void balancear(std::vector<complexo>& a, int n) {
    for (bool mudou = true; mudou;) {
        mudou = false;
        for (int i = 0; i < n; ++i) {
            double c = 0.0, r = 0.0;
            for (int j = 0; j < n; ++j)
                if (j != i) {
                    c += abs1(a[j * n + i]);
                    r += abs1(a[i * n + j]);
                }
            // sem as duas normas finitas e positivas (um infinito ou NaN na matriz) não há o que igualar: os laços
            // abaixo não terminariam
            if (!(c > 0.0 && r > 0.0 && std::isfinite(c) && std::isfinite(r))) continue;
            double f = 1.0;
            const double s = c + r;
            while (c < r / 2.0) {
                c *= 2.0;
                r /= 2.0;
                f *= 2.0;
            }
            while (c >= r * 2.0) {
                c /= 2.0;
                r *= 2.0;
                f /= 2.0;
            }
            if (c + r >= 0.95 * s) continue;
            mudou = true;
            for (int j = 0; j < n; ++j) a[i * n + j] /= f; // linha i / f, coluna i * f
            for (int j = 0; j < n; ++j) a[j * n + i] *= f;
        }
    }
}

// z - x y, com o produto complexo na forma (xr yr - xi yi, xr yi + xi yr).
complexo menos_produto(complexo z, double xr, double xi, double yr, double yi) {
    return {z.real() - (xr * yr - xi * yi), z.imag() - (xr * yi + xi * yr)};
}

// Reduz a (n x n, por linhas) à forma de Hessenberg superior por reflexões de Householder,
// aplicadas dos dois lados (semelhança unitária: os autovalores não mudam).
void hessenberg(std::vector<complexo>& a, int n) {
    std::vector<complexo> v(static_cast<std::size_t>(n));
    std::vector<double> sr(static_cast<std::size_t>(n)), si(static_cast<std::size_t>(n));
    for (int k = 0; k + 2 < n; ++k) {
        double escala = 0.0;
        for (int i = k + 1; i < n; ++i) escala += abs1(a[i * n + k]);
        if (escala == 0.0) continue;
        double norma2 = 0.0;
        for (int i = k + 1; i < n; ++i) {
            v[i] = a[i * n + k] / escala;
            norma2 += std::norm(v[i]);
        }
        const double norma = std::sqrt(norma2);
        const double m0 = std::abs(v[k + 1]);
        const complexo fase = m0 > 0.0 ? v[k + 1] / m0 : complexo(1.0, 0.0);
        // v = x + fase*|x| e1 (sem cancelamento); H = I - 2 v v^H / (v^H v)
        v[k + 1] += fase * norma;
        double vv = 0.0;
        for (int i = k + 1; i < n; ++i) vv += std::norm(v[i]);
        const double beta = 2.0 / vv;
        // a = H a: s_j = beta sum_i conj(v_i) a_ij (a soma de cada j na ordem de i), linha a linha
        std::fill(sr.begin(), sr.end(), 0.0);
        std::fill(si.begin(), si.end(), 0.0);
        for (int i = k + 1; i < n; ++i) {
            const double vr = v[i].real(), vi = -v[i].imag();
            const complexo* linha = &a[static_cast<std::size_t>(i) * n];
            for (int j = 0; j < n; ++j) {
                const double ar = linha[j].real(), ai = linha[j].imag();
                sr[j] += vr * ar - vi * ai;
                si[j] += vr * ai + vi * ar;
            }
        }
        for (int j = 0; j < n; ++j) {
            sr[j] *= beta;
            si[j] *= beta;
        }
        for (int i = k + 1; i < n; ++i) {
            const double vr = v[i].real(), vi = v[i].imag();
            complexo* linha = &a[static_cast<std::size_t>(i) * n];
            for (int j = 0; j < n; ++j) linha[j] = menos_produto(linha[j], vr, vi, sr[j], si[j]);
        }
        for (int i = 0; i < n; ++i) { // a = a H
            double tr = 0.0, ti = 0.0;
            for (int j = k + 1; j < n; ++j) {
                const double ar = a[i * n + j].real(), ai = a[i * n + j].imag(), vr = v[j].real(), vi = v[j].imag();
                tr += ar * vr - ai * vi;
                ti += ar * vi + ai * vr;
            }
            tr *= beta;
            ti *= beta;
            for (int j = k + 1; j < n; ++j) a[i * n + j] = menos_produto(a[i * n + j], tr, ti, v[j].real(), -v[j].imag());
        }
        for (int i = k + 2; i < n; ++i) a[i * n + k] = 0.0;
    }
}

// Rotação de Givens G = [c s; -conj(s) c], c real, com G [x; y] = [r; 0].
struct rotacao {
    double c = 1.0;
    complexo s = 0.0;
};

rotacao givens(complexo x, complexo y) {
    const double ax = std::abs(x), ay = std::abs(y);
    if (ay == 0.0) return {};
    if (ax == 0.0) return {0.0, std::conj(y) / ay};
    const double r = std::hypot(ax, ay);
    return {ax / r, (x / ax) * std::conj(y) / r};
}

// Autovalor da matriz 2x2 [a b; c d] mais próximo de d (deslocamento de Wilkinson).
complexo wilkinson(complexo a, complexo b, complexo c, complexo d) {
    const complexo meio = 0.5 * (a - d);
    const complexo raiz = std::sqrt(meio * meio + b * c);
    const complexo den = abs1(meio + raiz) >= abs1(meio - raiz) ? meio + raiz : meio - raiz;
    if (abs1(den) == 0.0) return d;
    return d - (b * c) / den;
}

} // namespace

// QR de deslocamento simples explícito, na janela ativa [l, alto] da Hessenberg: subdiagonal desprezível
// (|h(k,k-1)| <= eps (|h(k-1,k-1)| + |h(k,k)|)) separa a janela; a janela de um elemento dá um autovalor.
// Deslocamento de Wilkinson; nas iterações 10 e 20 de um mesmo autovalor, um deslocamento excepcional
// (tira o QR de ciclos como o da matriz de permutação). Sem convergência em 30 n iterações: NaN.
std::vector<complexo> autovalores(std::span<const complexo> entrada, int n) {
    std::vector<complexo> h(entrada.begin(), entrada.begin() + static_cast<std::ptrdiff_t>(n) * n);
    std::vector<complexo> lambda(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n <= 0) return lambda;
    balancear(h, n);
    hessenberg(h, n);
    constexpr double eps = std::numeric_limits<double>::epsilon();
    double norma = 0.0;
    for (const complexo& z : h) norma += abs1(z);
    std::vector<rotacao> g(static_cast<std::size_t>(n));
    int alto = n - 1, iter = 0;
    while (alto >= 0) {
        int l = alto;
        for (; l > 0; --l) {
            double ref = abs1(h[(l - 1) * n + l - 1]) + abs1(h[l * n + l]);
            if (ref == 0.0) ref = norma;
            if (abs1(h[l * n + l - 1]) <= eps * ref) {
                h[l * n + l - 1] = 0.0;
                break;
            }
        }
        if (l == alto) { // um autovalor separado
            lambda[alto] = h[alto * n + alto];
            --alto;
            iter = 0;
            continue;
        }
        if (++iter > 30 * n) {
            for (int i = 0; i <= alto; ++i) lambda[i] = complexo(std::nan(""), std::nan(""));
            return lambda;
        }
        complexo mu;
        if (iter == 10 || iter == 20)
            mu = h[alto * n + alto] + 0.75 * abs1(h[alto * n + alto - 1]);
        else
            mu = wilkinson(h[(alto - 1) * n + alto - 1], h[(alto - 1) * n + alto], h[alto * n + alto - 1],
                           h[alto * n + alto]);
        for (int k = l; k <= alto; ++k) h[k * n + k] -= mu;
        for (int k = l; k < alto; ++k) { // QR: G_k zera h(k+1,k)
            const rotacao r = givens(h[k * n + k], h[(k + 1) * n + k]);
            g[k] = r;
            const double c = r.c, sr = r.s.real(), si = r.s.imag();
            for (int j = k; j <= alto; ++j) {
                const double xr = h[k * n + j].real(), xi = h[k * n + j].imag();
                const double yr = h[(k + 1) * n + j].real(), yi = h[(k + 1) * n + j].imag();
                // c x + s y e -conj(s) x + c y, -conj(s) = (-sr, si)
                h[k * n + j] = {c * xr + (sr * yr - si * yi), c * xi + (sr * yi + si * yr)};
                h[(k + 1) * n + j] = {(-sr * xr - si * xi) + c * yr, (-sr * xi + si * xr) + c * yi};
            }
        }
        for (int k = l; k < alto; ++k) { // RQ: colunas k, k+1 vezes G_k^H
            const rotacao r = g[k];
            const int ate = k + 2 <= alto ? k + 2 : alto;
            const double c = r.c, sr = r.s.real(), ci = -r.s.imag();
            for (int i = l; i <= ate; ++i) {
                const double xr = h[i * n + k].real(), xi = h[i * n + k].imag();
                const double yr = h[i * n + k + 1].real(), yi = h[i * n + k + 1].imag();
                // c x + conj(s) y e -s x + c y, conj(s) = (sr, ci), -s = (-sr, ci)
                h[i * n + k] = {c * xr + (sr * yr - ci * yi), c * xi + (sr * yi + ci * yr)};
                h[i * n + k + 1] = {(-sr * xr - ci * xi) + c * yr, (-sr * xi + ci * xr) + c * yi};
            }
        }
        for (int k = l; k <= alto; ++k) h[k * n + k] += mu;
    }
    return lambda;
}

double raio_espectral(std::span<const complexo> a, int n) {
    double r = 0.0;
    for (const complexo& z : autovalores(a, n)) {
        const double m = std::abs(z);
        if (!(m <= r)) r = m; // um NaN fica
    }
    return r;
}
