// Solução direta de um nível 1 de nove pontos (doc/metodo.md, 12.6): LU em banda sem pivô, feito uma vez por
// solução, com a numeração das equações de cinco pontos (a direção mais curta mais rápida, b = min(mx, my)); os
// vizinhos de nove pontos ficam a até b + 1 na numeração. O operador de Galerkin não é simétrico em geral (injeção,
// interpolação dependente do operador com ponderação completa): daí LU e não Cholesky.
#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "solver/residuos.h"
#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {

// Linha r do fator indexada pela coluna: L(r, c) (c < r, o multiplicador) e U(r, c) (c >= r), c = r-w .. r+w.
inline double* linha_lu(fator_banda& f, long r) {
    const long w = f.b + 1;
    return f.L.data() + r * (2 * w + 1) + w - r;
}

// O número da incógnita do ponto (i, j) interior.
inline long numero(const fator_banda& f, long i, long j) {
    return f.x_rapido ? (i - 2) + (j - 2) * f.mx : (j - 2) + (i - 2) * f.my;
}

} // namespace

void fatorar_nove(fator_banda& f, const vista_nivel& v, const std::function<void(double)>& avancar) {
    const long nx = v.nx, n = f.n, w = f.b + 1;
    f.lu = true;
    try {
        f.L.assign(static_cast<std::size_t>(n * (2 * w + 1)), 0.0);
        f.x.assign(static_cast<std::size_t>(n), 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the band factor of level 1 (" +
                         std::to_string(bytes_fator_banda(v.nx, v.ny, v.forma)) + " bytes)");
    }
    for (long r = 0; r < n; ++r) {
        const long P = ponto_do_fator(f, nx, r);
        const long i = (P - 1) % nx + 1, j = (P - 1) / nx + 1;
        const estencil9 a = estencil_no_ponto(v, P);
        double* lr = linha_lu(f, r);
        for (int dj = -1; dj <= 1; ++dj)
            for (int di = -1; di <= 1; ++di) {
                const long ii = i + di, jj = j + dj;
                if (ii < 2 || ii > v.nx - 1 || jj < 2 || jj > v.ny - 1) continue;
                const int g = posicao9(di, dj);
                lr[numero(f, ii, jj)] = g == centro9 ? a[g] : -a[g];
            }
    }
    for (long k = 0; k < n; ++k) {
        if (avancar && k % 64 == 0) avancar(static_cast<double>(k) / static_cast<double>(n));
        const double* lk = linha_lu(f, k);
        const double pivo = lk[k];
        if (!(std::isfinite(pivo) && pivo != 0.0)) {
            const long P = ponto_do_fator(f, nx, k);
            throw erro_fatal("the direct solve of level 1 (--coarsest solve) meets a zero pivot at point (" +
                             std::to_string((P - 1) % nx + 1) + ", " + std::to_string((P - 1) / nx + 1) +
                             ") of its nine-point operator; give --coarsest N (sweeps) instead");
        }
        for (long r = k + 1; r <= std::min(n - 1, k + w); ++r) {
            double* lr = linha_lu(f, r);
            const double l = lr[k] / pivo;
            lr[k] = l;
            for (long c = k + 1; c <= std::min(n - 1, k + w); ++c) lr[c] = lr[c] - l * lk[c];
        }
    }
}

void resolver_nove(fator_banda& f, const vista_nivel& v) {
    const long nx = v.nx, n = f.n, w = f.b + 1;
    const double* u = v.u;
    for (long r = 0; r < n; ++r) {
        const long P = ponto_do_fator(f, nx, r);
        const long i = (P - 1) % nx + 1, j = (P - 1) / nx + 1;
        const estencil9 a = estencil_no_ponto(v, P);
        double s = v.f != nullptr ? v.f[P] : 0.0;
        for (int dj = -1; dj <= 1; ++dj)
            for (int di = -1; di <= 1; ++di) {
                const long ii = i + di, jj = j + dj;
                const bool interior = ii >= 2 && ii <= v.nx - 1 && jj >= 2 && jj <= v.ny - 1;
                if (!interior) s = s + a[posicao9(di, dj)] * u[P + di + dj * nx];
            }
        f.x[r] = s;
    }
    for (long r = 0; r < n; ++r) { // L y = d (diagonal de L = 1)
        double s = f.x[r];
        const double* lr = linha_lu(f, r);
        for (long c = std::max(0L, r - w); c < r; ++c) s -= lr[c] * f.x[c];
        f.x[r] = s;
    }
    for (long r = n - 1; r >= 0; --r) { // U x = y
        double s = f.x[r];
        const double* lr = linha_lu(f, r);
        for (long c = r + 1; c <= std::min(n - 1, r + w); ++c) s -= lr[c] * f.x[c];
        f.x[r] = s / lr[r];
    }
    double* x = v.u;
    for (long r = 0; r < n; ++r) x[ponto_do_fator(f, nx, r)] = f.x[r];
}
