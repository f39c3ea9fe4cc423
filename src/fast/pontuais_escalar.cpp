// Núcleos de linha escalares dos suavizadores pontuais na passada rápida: uma cor de uma linha (vermelho-preto) e
// os valores novos de uma linha de Jacobi, com as contas dos laços de referência (solver/suavizadores_ponto.cpp):
// v = (an*(S+N) + ae*(W+E) [+ f(P)]) * q; com omega != 1, u + omega*(v - u), u o valor antigo do ponto. Com o
// operador variável: v = ((ay(P)*S + ay(P+nx)*N) + (ax(P)*W + ax(P+1)*E) [+ f(P)]) / ap(P).
#include "fast/rapido.h"

namespace {

template <bool DIREITO, bool RELAXAR>
void cor_de(const passada& p, int j, int paridade) {
    const long nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q, omega = p.omega;
    double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    for (long i = 2 + (j + paridade) % 2; i <= nx - 1; i += 2) {
        double s = an * (l[i - nx] + l[i + nx]) + ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * q;
        if constexpr (RELAXAR) l[i] = l[i] + omega * (v - l[i]);
        else l[i] = v;
    }
}

template <bool DIREITO, bool RELAXAR>
void jacobi_de(const passada& p, int j, double* d) {
    const long nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q, omega = p.omega;
    const double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    for (long i = 2; i <= nx - 1; ++i) {
        double s = an * (l[i - nx] + l[i + nx]) + ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * q;
        if constexpr (RELAXAR) d[i] = l[i] + omega * (v - l[i]);
        else d[i] = v;
    }
}

// O valor de Gauss-Seidel com o operador variável no ponto l[i] da linha (os coeficientes da mesma linha).
template <bool DIREITO>
inline double valor_variavel(const double* l, const double* f, const double* ax, const double* ay,
                             const double* ap, long i, long nx) {
    const double y = ay[i] * l[i - nx] + ay[i + nx] * l[i + nx];
    const double x = ax[i] * l[i - 1] + ax[i + 1] * l[i + 1];
    double s = y + x;
    if constexpr (DIREITO) s = s + f[i];
    return s / ap[i];
}

template <bool DIREITO, bool RELAXAR>
void cor_variavel_de(const nivel_variavel& v, int j, int paridade, long desde) {
    const long nx = v.nx, o = (j - 1) * nx;
    double* l = v.u + o;
    const double* f = DIREITO ? v.f + o : nullptr;
    for (long i = desde + (desde + j + paridade) % 2; i <= nx - 1; i += 2) {
        const double x = valor_variavel<DIREITO>(l, f, v.ax + o, v.ay + o, v.ap + o, i, nx);
        if constexpr (RELAXAR) l[i] = l[i] + v.omega * (x - l[i]);
        else l[i] = x;
    }
}

template <bool DIREITO, bool RELAXAR>
void jacobi_variavel_de(const nivel_variavel& v, const double* a, int j, double* d, long desde) {
    const long nx = v.nx, o = (j - 1) * nx;
    const double* l = a + o;
    const double* f = DIREITO ? v.f + o : nullptr;
    for (long i = desde; i <= nx - 1; ++i) {
        const double x = valor_variavel<DIREITO>(l, f, v.ax + o, v.ay + o, v.ap + o, i, nx);
        if constexpr (RELAXAR) d[i] = l[i] + v.omega * (x - l[i]);
        else d[i] = x;
    }
}

// Com nove pontos: y = c1 S + c7 N; x = c3 W + c5 E; d = (c0 SW + c2 SE) + (c6 NW + c8 NE);
// v = (((y + x) + d) [+ f]) / c4, os nove números do nível ou as nove grades do bloco; u[P] o ponto.
template <bool POR_PONTO, bool DIREITO>
inline double valor_nove(const nivel_nove& v, const double* u, long P, long nx, long nxy) {
    const auto c = [&](int g) {
        if constexpr (POR_PONTO) return v.bloco[g * nxy + P];
        else return v.nove[g];
    };
    const double y = c(1) * u[P - nx] + c(7) * u[P + nx];
    const double x = c(3) * u[P - 1] + c(5) * u[P + 1];
    const double d = (c(0) * u[P - nx - 1] + c(2) * u[P - nx + 1]) + (c(6) * u[P + nx - 1] + c(8) * u[P + nx + 1]);
    double s = (y + x) + d;
    if constexpr (DIREITO) s = s + v.f[P];
    return s / c(4);
}

template <bool POR_PONTO, bool DIREITO, bool RELAXAR>
void cor_nove_de(const nivel_nove& v, int j, int paridade, long desde) {
    const long nx = v.nx, nxy = nx * v.ny, o = (j - 1) * nx;
    double* u = v.u;
    for (long i = desde + (desde + j + paridade) % 2; i <= nx - 1; i += 2) {
        const long P = o + i;
        const double w = valor_nove<POR_PONTO, DIREITO>(v, u, P, nx, nxy);
        if constexpr (RELAXAR) u[P] = u[P] + v.omega * (w - u[P]);
        else u[P] = w;
    }
}

// Os valores novos da linha j em d[desde..nx-1], a partir de a (de antes da varredura).
template <bool POR_PONTO, bool DIREITO, bool RELAXAR>
void jacobi_nove_de(const nivel_nove& v, const double* a, int j, double* d, long desde) {
    const long nx = v.nx, nxy = nx * v.ny, o = (j - 1) * nx;
    for (long i = desde; i <= nx - 1; ++i) {
        const long P = o + i;
        const double w = valor_nove<POR_PONTO, DIREITO>(v, a, P, nx, nxy);
        if constexpr (RELAXAR) d[i] = a[P] + v.omega * (w - a[P]);
        else d[i] = w;
    }
}

} // namespace

void cor_variavel_linha(const nivel_variavel& v, int j, int paridade, long desde) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.f == nullptr ? (relaxar ? cor_variavel_de<false, true> : cor_variavel_de<false, false>)
                                   : (relaxar ? cor_variavel_de<true, true> : cor_variavel_de<true, false>);
    de(v, j, paridade, desde);
}

void jacobi_variavel_linha(const nivel_variavel& v, const double* a, int j, double* d, long desde) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.f == nullptr ? (relaxar ? jacobi_variavel_de<false, true> : jacobi_variavel_de<false, false>)
                                   : (relaxar ? jacobi_variavel_de<true, true> : jacobi_variavel_de<true, false>);
    de(v, a, j, d, desde);
}

void cor_linha(const passada& p, int j, int paridade) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? cor_de<false, true> : cor_de<false, false>)(p, j, paridade);
    else (relaxar ? cor_de<true, true> : cor_de<true, false>)(p, j, paridade);
}

void jacobi_linha(const passada& p, int j, double* d) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? jacobi_de<false, true> : jacobi_de<false, false>)(p, j, d);
    else (relaxar ? jacobi_de<true, true> : jacobi_de<true, false>)(p, j, d);
}

void cor_nove_linha(const nivel_nove& v, int j, int paridade, long desde) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.bloco != nullptr
                        ? (v.f == nullptr ? (relaxar ? cor_nove_de<true, false, true> : cor_nove_de<true, false, false>)
                                          : (relaxar ? cor_nove_de<true, true, true> : cor_nove_de<true, true, false>))
                        : (v.f == nullptr ? (relaxar ? cor_nove_de<false, false, true> : cor_nove_de<false, false, false>)
                                          : (relaxar ? cor_nove_de<false, true, true> : cor_nove_de<false, true, false>));
    de(v, j, paridade, desde);
}

void jacobi_nove_linha(const nivel_nove& v, const double* a, int j, double* d, long desde) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.bloco != nullptr
                        ? (v.f == nullptr ? (relaxar ? jacobi_nove_de<true, false, true> : jacobi_nove_de<true, false, false>)
                                          : (relaxar ? jacobi_nove_de<true, true, true> : jacobi_nove_de<true, true, false>))
                        : (v.f == nullptr ? (relaxar ? jacobi_nove_de<false, false, true> : jacobi_nove_de<false, false, false>)
                                          : (relaxar ? jacobi_nove_de<false, true, true> : jacobi_nove_de<false, true, false>));
    de(v, a, j, d, desde);
}
