// Valores de contorno, solução exata e campo inicial dos dois problemas-modelo.
#include <cmath>

#include "solver/solver.h"

namespace {
constexpr double pi = 3.141592653589793;
constexpr double inv_sinh_pi = 0.08658953753004696; // 1/sinh(pi), como literal
} // namespace

void contornos(estado_execucao& e) { contornos_em(e, e.T.data()); }

void contornos_em(const estado_execucao& e, double* t) {
    const int nxk = e.nxk, nyk = e.nyk;
    const double dx = e.dx, dy = e.dy;
    const bool linear = e.problema == 1;
    for (int j = 1; j <= nyk; ++j) t[1 + (j - 1) * nxk] = 0.0;
    for (int j = 1; j <= nyk; ++j) t[j * nxk] = linear ? static_cast<double>(j - 1) * dy : 0.0;
    if (nxk - 2 <= 0) return;
    for (int i = 2; i <= nxk - 1; ++i) t[i] = 0.0;
    for (int i = 2; i <= nxk - 1; ++i) {
        const double x = static_cast<double>(i - 1) * dx;
        t[(nyk - 1) * nxk + i] = linear ? x : std::sin(x * pi);
    }
}

void solucao_analitica(estado_execucao& e) {
    const int nxk = e.nxk, nyk = e.nyk;
    const double dx = e.dx, dy = e.dy;
    const bool linear = e.problema == 1;
    double* t = e.T.data();
    for (int i = 1; i <= nxk; ++i)
        for (int j = 1; j <= nyk; ++j) {
            const double x = static_cast<double>(i - 1) * dx;
            const double y = static_cast<double>(j - 1) * dy;
            t[i + (j - 1) * nxk] = linear ? y * x : (std::sin(x * pi) * std::sinh(y * pi)) * inv_sinh_pi;
        }
}

// Com T criado e o nível mais fino corrente. Para tipo_ci fora de 0 e 1 o interior fica
// como criado (zero). O início aleatório substitui o de tipo_ci.
void preparar_campo_inicial(estado_execucao& e, tipo_inicio inicio, std::uint64_t semente) {
    if (inicio == tipo_inicio::aleatorio) {
        campo_aleatorio(e, semente);
    } else {
        if (e.tipo_ci == 0)
            for (double& v : e.T) v = 0.0;
        if (e.tipo_ci == 1) solucao_analitica(e);
    }
    contornos(e);
    coeficientes(e);
    norma_l1(e);
    e.hist[0] = e.rnorm;
}
