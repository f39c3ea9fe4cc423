// Solução direta do nível 1: Cholesky em banda das equações de cinco pontos, fatorado uma vez por solução.
//
// Equações: ap*x(P) - ae*(W + E) - an*(S + N) = res(P) nos pontos internos; os vizinhos de contorno são valores
// conhecidos da grade do nível (0 numa correção; os de Dirichlet no FMG) e passam ao lado direito. As incógnitas são
// numeradas com a direção mais curta mais rápida, o que dá a menor banda: b = min(mx, my).
#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "state/erro_fatal.h"
#include "solver/solver.h"

namespace {

// Linha r do fator indexada pela coluna: linha(f, r)[c] = L(r, c), c = r-b .. r (guardado em L[r*(b+1) + c-r+b]).
inline double* linha(fator_banda& f, long r) { return f.L.data() + r * static_cast<long>(f.b) + f.b; }

} // namespace

long long bytes_fator_banda(int nx1, int ny1) {
    const long long mx = std::max(nx1 - 2, 0), my = std::max(ny1 - 2, 0);
    const long long n = mx * my, b = std::min(mx, my);
    return n == 0 ? 0 : static_cast<long long>(sizeof(double)) * (n * (b + 1) + n);
}

double operacoes_fator_banda(int nx1, int ny1) {
    const double mx = std::max(nx1 - 2, 0), my = std::max(ny1 - 2, 0);
    const double n = mx * my, b = std::min(mx, my);
    if (n == 0) return 0.0;
    // a linha r soma m(m+1)/2 produtos, m = min(r, b): as b primeiras crescem, as demais custam b(b+1)/2
    const double primeiras = (b - 1.0) * b * (b + 1.0) / 6.0;
    return primeiras + (n - b) * b * (b + 1.0) / 2.0;
}

double velocidade_fator_banda() {
    constexpr int lado = 102; // 100 x 100 incógnitas: ~5e7 produtos, algumas dezenas de milissegundos
    fator_banda f;
    const double t0 = tempo_parede();
    fatorar_nivel_grosso(f, lado, lado, 1.0, 1.0, 4.0);
    const double t = tempo_parede() - t0;
    return t > 0.0 ? operacoes_fator_banda(lado, lado) / t : 0.0;
}

double segundos_fator_banda(int nx1, int ny1) {
    const double ops = operacoes_fator_banda(nx1, ny1);
    if (ops < 1e9) return 0.0; // abaixo de um segundo em qualquer máquina de hoje: nem vale medir
    const double v = velocidade_fator_banda();
    return v > 0.0 ? ops / v : 0.0;
}

void fatorar_nivel_grosso(fator_banda& f, int nx, int ny, double ae, double an, double ap,
                          const std::function<void(double)>& avancar) {
    f.mx = std::max(nx - 2, 0);
    f.my = std::max(ny - 2, 0);
    f.n = f.mx * f.my;
    f.x_rapido = f.mx <= f.my;
    f.b = std::min(f.mx, f.my);
    try {
        f.L.assign(static_cast<std::size_t>(f.n) * (f.b + 1), 0.0);
        f.x.assign(static_cast<std::size_t>(f.n), 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the band factor of level 1 ("
                         + std::to_string(bytes_fator_banda(nx, ny)) + " bytes)");
    }
    if (f.n == 0) return;
    // vizinho à distância 1 na numeração e vizinho à distância b (a outra direção)
    const double perto = f.x_rapido ? ae : an, longe = f.x_rapido ? an : ae;
    const long n = f.n, b = f.b;
    for (long r = 0; r < n; ++r) {
        if (avancar && r % 64 == 0) avancar(static_cast<double>(r) / static_cast<double>(n));
        const long c0 = std::max(0L, r - b);
        double* lr = linha(f, r);
        for (long c = c0; c <= r; ++c) {
            const double* lc = linha(f, c);
            double s = 0.0;
            if (c == r) s = ap;
            else if (c == r - 1 && r % b != 0) s = -perto;
            else if (c == r - b) s = -longe;
            for (long k = std::max(c0, c - b); k < c; ++k) s -= lr[k] * lc[k];
            lr[c] = c == r ? std::sqrt(s) : s / lc[c];
        }
    }
}

void resolver_nivel_grosso(fator_banda& f, const vista_nivel& v) {
    if (f.n == 0) return;
    const long nx = v.nx, n = f.n, b = f.b;
    double* u = v.u;
    // lado direito na numeração do fator, com os vizinhos de contorno
    auto ponto = [&](long r) {
        const long a = r % b, z = r / b; // posição na direção rápida e na lenta, a partir de 0
        const long i = 2 + (f.x_rapido ? a : z), j = 2 + (f.x_rapido ? z : a);
        return i + (j - 1) * nx;
    };
    for (long r = 0; r < n; ++r) {
        const long P = ponto(r);
        const long i = (P - 1) % nx + 1, j = (P - 1) / nx + 1;
        double s = v.f != nullptr ? v.f[P] : 0.0;
        if (i == 2) s += v.ae * u[P - 1];
        if (i == nx - 1) s += v.ae * u[P + 1];
        if (j == 2) s += v.an * u[P - nx];
        if (j == v.ny - 1) s += v.an * u[P + nx];
        f.x[r] = s;
    }
    for (long r = 0; r < n; ++r) { // L y = d
        double s = f.x[r];
        const double* lr = linha(f, r);
        for (long c = std::max(0L, r - b); c < r; ++c) s -= lr[c] * f.x[c];
        f.x[r] = s / lr[r];
    }
    for (long r = n - 1; r >= 0; --r) { // L^T x = y
        double s = f.x[r];
        for (long c = r + 1; c <= std::min(n - 1, r + b); ++c) s -= linha(f, c)[r] * f.x[c];
        f.x[r] = s / linha(f, r)[r];
    }
    for (long r = 0; r < n; ++r) u[ponto(r)] = f.x[r];
}
