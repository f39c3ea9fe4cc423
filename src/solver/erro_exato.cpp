#include <cmath>

#include "solver/solver.h"

// |T - T_exata| sobre todos os pontos do nível mais fino, com a solução exata calculada ponto a
// ponto como em solucao_analitica (nenhum campo auxiliar).
erro_exato calcular_erro_exato(const estado_execucao& e) {
    const int nx = e.nxk, ny = e.nyk;
    const double dx = e.dx, dy = e.dy;
    constexpr double pi = 3.141592653589793;
    constexpr double inv_sinh_pi = 0.08658953753004696;
    erro_exato r;
    double soma = 0.0;
    for (int j = 1; j <= ny; ++j) {
        const double y = static_cast<double>(j - 1) * dy;
        const double sy = std::sinh(y * pi);
        for (int i = 1; i <= nx; ++i) {
            const double x = static_cast<double>(i - 1) * dx;
            const double exata = e.problema == 1 ? y * x : (std::sin(x * pi) * sy) * inv_sinh_pi;
            const double d = std::fabs(e.T[i + (j - 1L) * nx] - exata);
            if (!(d <= r.maximo)) r.maximo = d; // um NaN fica no máximo
            soma += d;
        }
    }
    const double n = static_cast<double>(nx) * static_cast<double>(ny);
    r.medio = n > 0 ? soma / n : 0.0;
    return r;
}
