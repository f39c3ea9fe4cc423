// O problema de uma rodada (doc/metodo.md, seção 3): valores de contorno, termo fonte do nível mais fino e solução
// exata, dos problemas da entrada (linear, senoidal) e dos de --problem (sin:KX:KY, constant:F).
#include <cmath>
#include <numbers>
#include <new>
#include <string>

#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {
using std::numbers::pi;
} // namespace

double solucao_exata::fator_x(double x) const {
    switch (tipo) {
    case tipo_problema::linear: return x;
    case tipo_problema::senos: return std::sin(kx * x);
    default: return std::sin(x * pi);
    }
}

double solucao_exata::fator_y(double y) const {
    switch (tipo) {
    case tipo_problema::linear: return y;
    case tipo_problema::senos: return std::sin(ky * y);
    default:
        // sinh(m y)/sinh(m) por exponenciais decrescentes (sem estouro com m grande)
        return anisotropica ? std::exp(m * (y - 1.0)) * (std::expm1(-2.0 * m * y) / std::expm1(-2.0 * m))
                            : std::sinh(y * pi);
    }
}

double solucao_exata::combinar(double fx, double fy) const {
    if (tipo == tipo_problema::linear) return fy * fx;
    if (tipo == tipo_problema::senoidal && !anisotropica) return (fx * fy) * inv_sinh_pi;
    return fx * fy;
}

solucao_exata solucao_exata_de(const metodo_efetivo& m) {
    solucao_exata s;
    s.tipo = m.problema.tipo;
    s.anisotropica = s.tipo == tipo_problema::senoidal && m.eps != 1.0;
    if (s.anisotropica) s.m = pi * std::sqrt(m.eps);
    s.kx = static_cast<double>(m.problema.kx) * pi;
    s.ky = static_cast<double>(m.problema.ky) * pi;
    return s;
}

void contornos(estado_execucao& e, const definicao_problema& p) { contornos_em(e, p, e.T.data()); }

void contornos_em(const estado_execucao& e, const definicao_problema& p, double* t) {
    const int nxk = e.nxk, nyk = e.nyk;
    const double dx = e.dx, dy = e.dy;
    const bool linear = p.tipo == tipo_problema::linear, senoidal = p.tipo == tipo_problema::senoidal;
    for (int j = 1; j <= nyk; ++j) t[1 + (j - 1) * nxk] = 0.0;
    for (int j = 1; j <= nyk; ++j) t[j * nxk] = linear ? static_cast<double>(j - 1) * dy : 0.0;
    if (nxk - 2 <= 0) return;
    for (int i = 2; i <= nxk - 1; ++i) t[i] = 0.0;
    for (int i = 2; i <= nxk - 1; ++i) {
        const double x = static_cast<double>(i - 1) * dx;
        t[(nyk - 1) * nxk + i] = linear ? x : senoidal ? std::sin(x * pi) : 0.0;
    }
}

void solucao_analitica(estado_execucao& e, const metodo_efetivo& m) {
    if (!m.solucao_exata)
        throw erro_fatal("the problem " + texto_problema(m.problema) + " has no exact solution to start from");
    const int nxk = e.nxk, nyk = e.nyk;
    const double dx = e.dx, dy = e.dy;
    const solucao_exata s = solucao_exata_de(m);
    double* t = e.T.data();
    for (int i = 1; i <= nxk; ++i) {
        const double fx = s.fator_x(static_cast<double>(i - 1) * dx);
        for (int j = 1; j <= nyk; ++j) t[i + (j - 1) * nxk] = s.combinar(fx, s.fator_y(static_cast<double>(j - 1) * dy));
    }
}

void montar_fonte(estado_execucao& e, const metodo_efetivo& m) {
    e.fonte = vetor_grande();
    if (!m.fonte) return;
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    try {
        e.fonte = vetor_grande(static_cast<std::size_t>(e.nxyg[e.nm]) + 1);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the source term (" + std::to_string((e.nxyg[e.nm] + 1LL) * 8) +
                         " bytes)");
    }
    double* f = e.fonte.data();
    const double dx = 1.0 / static_cast<double>(nx - 1), dy = 1.0 / static_cast<double>(ny - 1);
    if (m.problema.tipo == tipo_problema::constante) {
        for (long j = 2; j <= ny - 1; ++j)
            for (long i = 2; i <= nx - 1; ++i) f[i + (j - 1) * nx] = m.problema.f;
        return;
    }
    // sin:KX:KY: c * (sin(kx x) sin(ky y)), os senos por coluna e por linha (as mesmas chamadas, os mesmos bits)
    const double kx = static_cast<double>(m.problema.kx) * pi, ky = static_cast<double>(m.problema.ky) * pi;
    const double c = m.eps * (kx * kx) + ky * ky;
    std::vector<double> sx(static_cast<std::size_t>(nx) + 1);
    for (int i = 1; i <= nx; ++i) sx[static_cast<std::size_t>(i)] = std::sin(kx * (static_cast<double>(i - 1) * dx));
    for (long j = 2; j <= ny - 1; ++j) {
        const double sy = std::sin(ky * (static_cast<double>(j - 1) * dy));
        for (long i = 2; i <= nx - 1; ++i) f[i + (j - 1) * nx] = c * (sx[static_cast<std::size_t>(i)] * sy);
    }
}
