// Solução direta do nível 1: Cholesky em banda das equações de cinco pontos, fatorado uma vez por solução (as de
// nove pontos: direto_nove.cpp).
//
// Equações: ap*x(P) - ae*(W + E) - an*(S + N) = res(P) nos pontos internos (com o operador variável,
// ap(P)*x(P) - (ax(P)*W + ax(P+1)*E) - (ay(P)*S + ay(P+nx)*N) = res(P)); os vizinhos de contorno são valores
// conhecidos da grade do nível (0 numa correção; os de Dirichlet no FMG) e passam ao lado direito. As incógnitas são
// numeradas com a direção mais curta mais rápida, o que dá a menor banda: b = min(mx, my). A matriz é simétrica e
// positiva definida nas duas formas.
#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "platform/plataforma.h"
#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {

// Linha r do fator indexada pela coluna: linha(f, r)[c] = L(r, c), c = r-b .. r (guardado em L[r*(b+1) + c-r+b]).
inline double* linha(fator_banda& f, long r) { return f.L.data() + r * static_cast<long>(f.b) + f.b; }

// Os coeficientes de um ponto: diagonal e os quatro vizinhos, do estêncil constante ou do bloco do nível.
struct coeficientes_ponto {
    double ap, oeste, leste, sul, norte;
};

struct estencil_constante {
    const vista_nivel& v;
    coeficientes_ponto em(long) const { return {v.ap, v.ae, v.ae, v.an, v.an}; }
};

struct estencil_do_bloco {
    estencil_variavel c;
    long nx;
    coeficientes_ponto em(long P) const { return {c.p[P], c.x[P], c.x[P + 1], c.y[P], c.y[P + nx]}; }
};

template <class E>
void fatorar(fator_banda& f, const E& est, long nx, const std::function<void(double)>& avancar) {
    const long n = f.n, b = f.b;
    for (long r = 0; r < n; ++r) {
        if (avancar && r % 64 == 0) avancar(static_cast<double>(r) / static_cast<double>(n));
        const long c0 = std::max(0L, r - b);
        const coeficientes_ponto a = est.em(ponto_do_fator(f, nx, r));
        // vizinho à distância 1 na numeração (oeste ou sul) e vizinho à distância b (a outra direção)
        const double perto = f.x_rapido ? a.oeste : a.sul, longe = f.x_rapido ? a.sul : a.oeste;
        double* lr = linha(f, r);
        for (long c = c0; c <= r; ++c) {
            const double* lc = linha(f, c);
            double s = 0.0;
            if (c == r) s = a.ap;
            else if (c == r - 1 && r % b != 0) s = -perto;
            else if (c == r - b) s = -longe;
            for (long k = std::max(c0, c - b); k < c; ++k) s -= lr[k] * lc[k];
            lr[c] = c == r ? std::sqrt(s) : s / lc[c];
        }
    }
}

template <class E>
void resolver(fator_banda& f, const vista_nivel& v, const E& est) {
    const long nx = v.nx, n = f.n, b = f.b;
    double* u = v.u;
    // lado direito na numeração do fator, com os vizinhos de contorno
    for (long r = 0; r < n; ++r) {
        const long P = ponto_do_fator(f, nx, r);
        const long i = (P - 1) % nx + 1, j = (P - 1) / nx + 1;
        const coeficientes_ponto a = est.em(P);
        double s = v.f != nullptr ? v.f[P] : 0.0;
        if (i == 2) s += a.oeste * u[P - 1];
        if (i == nx - 1) s += a.leste * u[P + 1];
        if (j == 2) s += a.sul * u[P - nx];
        if (j == v.ny - 1) s += a.norte * u[P + nx];
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
    for (long r = 0; r < n; ++r) u[ponto_do_fator(f, nx, r)] = f.x[r];
}

} // namespace

long long bytes_fator_banda(int nx1, int ny1, forma_operador f) {
    const long long mx = std::max(nx1 - 2, 0), my = std::max(ny1 - 2, 0);
    const long long n = mx * my, b = std::min(mx, my);
    const long long largura = nove_pontos(f) ? 2 * (b + 1) + 1 : b + 1; // LU: b+1 de cada lado
    return n == 0 ? 0 : static_cast<long long>(sizeof(double)) * (n * largura + n);
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
    vista_nivel v;
    v.nx = v.ny = lado;
    v.ae = v.an = 1.0;
    v.ap = 4.0;
    const double t0 = tempo_parede();
    fatorar_nivel_grosso(f, v);
    const double t = tempo_parede() - t0;
    return t > 0.0 ? operacoes_fator_banda(lado, lado) / t : 0.0;
}

double segundos_fator_banda(int nx1, int ny1) {
    const double ops = operacoes_fator_banda(nx1, ny1);
    if (ops < 1e9) return 0.0; // abaixo de um segundo em qualquer máquina de hoje: nem vale medir
    const double v = velocidade_fator_banda();
    return v > 0.0 ? ops / v : 0.0;
}

void fatorar_nivel_grosso(fator_banda& f, const vista_nivel& v, const std::function<void(double)>& avancar) {
    const int nx = v.nx, ny = v.ny;
    f.mx = std::max(nx - 2, 0);
    f.my = std::max(ny - 2, 0);
    f.n = f.mx * f.my;
    f.x_rapido = f.mx <= f.my;
    f.b = std::min(f.mx, f.my);
    f.lu = false;
    if (nove_pontos(v.forma)) {
        if (f.n > 0) fatorar_nove(f, v, avancar);
        return;
    }
    try {
        f.L.assign(static_cast<std::size_t>(f.n) * (f.b + 1), 0.0);
        f.x.assign(static_cast<std::size_t>(f.n), 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the band factor of level 1 ("
                         + std::to_string(bytes_fator_banda(nx, ny)) + " bytes)");
    }
    if (f.n == 0) return;
    if (v.forma == forma_operador::cinco_variavel)
        fatorar(f, estencil_do_bloco{estencil_de(v.pesos, static_cast<long>(nx) * ny), nx}, nx, avancar);
    else
        fatorar(f, estencil_constante{v}, nx, avancar);
}

void resolver_nivel_grosso(fator_banda& f, const vista_nivel& v) {
    if (f.n == 0) return;
    if (f.lu) {
        resolver_nove(f, v);
        return;
    }
    if (v.forma == forma_operador::cinco_variavel)
        resolver(f, v, estencil_do_bloco{estencil_de(v.pesos, static_cast<long>(v.nx) * v.ny), v.nx});
    else
        resolver(f, v, estencil_constante{v});
}
