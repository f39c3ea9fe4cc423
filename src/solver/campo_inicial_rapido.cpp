// Campo inicial numa só passada pela memória: valores iniciais, contornos e hist(0), cada linha escrita uma vez
// (a primeira escrita é também o primeiro toque nas páginas) e somada logo que a de cima existe.
#include <cmath>
#include <numbers>
#include <vector>

#include "solver/solver.h"

namespace {

using std::numbers::pi;

// Linha j de T com o que preparar_campo_inicial deixaria nela: o campo inicial e, por cima, os contornos na ordem
// de contornos() (oeste, leste, sul, norte; o norte vence o sul quando ny = 1).
void escrever_linha(const estado_execucao& e, bool linear, double* t, int j, const std::vector<double>& x,
                    const std::vector<double>& senos) {
    const int nx = e.nxk, ny = e.nyk;
    double* l = t + (j - 1) * static_cast<long>(nx);
    const double y = static_cast<double>(j - 1) * e.dy;
    if (j == ny && nx - 2 > 0) {
        for (int i = 2; i <= nx - 1; ++i) l[i] = linear ? x[i] : senos[i];
    } else if (j == 1 && nx - 2 > 0) {
        for (int i = 2; i <= nx - 1; ++i) l[i] = 0.0;
    } else if (e.tipo_ci == 1) {
        // solucao_analitica com sin(x*pi) por coluna e sinh(y*pi) por linha: as mesmas chamadas, os mesmos bits
        const double sh = linear ? 0.0 : std::sinh(y * pi);
        for (int i = 2; i <= nx - 1; ++i) l[i] = linear ? y * x[i] : (senos[i] * sh) * inv_sinh_pi;
    } else {
        for (int i = 2; i <= nx - 1; ++i) l[i] = 0.0; // tipo_ci 0, ou outro: o interior fica zero
    }
    l[1] = 0.0;
    l[nx] = linear ? y : 0.0;
}

} // namespace

bool serve_campo_inicial_rapido(const estado_execucao& e, const metodo_efetivo& m) {
    const bool da_entrada = m.problema.tipo == tipo_problema::linear || m.problema.tipo == tipo_problema::senoidal;
    return m.inicio == tipo_inicio::conforme_tipo_ci && da_entrada && !m.operador_variavel && !m.fonte &&
           (e.tipo_ci != 1 || m.eps == 1.0);
}

void campo_inicial_rapido(estado_execucao& e, const metodo_efetivo& m) {
    const bool linear = m.problema.tipo == tipo_problema::linear;
    const int nx = e.nxk, ny = e.nyk;
    double* t = e.T.data();
    coeficientes(e);
    std::vector<double> x(static_cast<std::size_t>(nx) + 1), senos(static_cast<std::size_t>(nx) + 1);
    for (int i = 1; i <= nx; ++i) {
        x[static_cast<std::size_t>(i)] = static_cast<double>(i - 1) * e.dx;
        senos[static_cast<std::size_t>(i)] = std::sin(x[static_cast<std::size_t>(i)] * pi);
    }
    const double ae = e.ae, an = e.an, ap = e.ap;
    double s = 0.0;
    for (int j = 1; j <= ny; ++j) {
        escrever_linha(e, linear, t, j, x, senos);
        // a linha j-1 já tem vizinhas: suas parcelas, em ordem de armazenamento (as contas de norma_l1)
        const int k = j - 1;
        if (k < 2 || k > ny - 1) continue;
        const double* l = t + (k - 1) * static_cast<long>(nx);
        for (int i = 2; i <= nx - 1; ++i)
            s = s + std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
    }
    e.rnorm = s;
    e.hist[0] = e.rnorm;
}
