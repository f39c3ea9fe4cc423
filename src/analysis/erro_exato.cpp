// O campo final contra a solução exata do problema: erro máximo e médio, e uma amostra do campo, do erro e do
// coeficiente de difusão para os gráficos. A solução exata é calculada ponto a ponto como em solucao_analitica
// (nenhum campo auxiliar); sem ela (coeficiente variável, constant:F), os erros são NaN.
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/analise.h"
#include "solver/solver.h"

namespace {

constexpr double sem_solucao = std::numeric_limits<double>::quiet_NaN();

// Índices 1, 1+s, 1+2s, ... e sempre o último, n.
std::vector<int> indices(int n, int s) {
    std::vector<int> v;
    for (int i = 1; i <= n; i += s) v.push_back(i);
    if (v.empty() || v.back() != n) v.push_back(n);
    return v;
}

// Blocos de s células (s potência de 2) de n células: o centro de cada bloco, em células desde a origem, e a célula
// que o contém (uma amostra de kappa, sem média: um salto fica um salto, na sua posição).
struct blocos {
    std::vector<double> centro;
    std::vector<int> celula;
};

blocos em_blocos(int n, int s) {
    blocos b;
    for (int i = 0; i * s < n; ++i) {
        b.centro.push_back(static_cast<double>(i * s) + 0.5 * s);
        b.celula.push_back(std::min(n, i * s + s / 2 + 1));
    }
    return b;
}

} // namespace

erro_exato calcular_erro_exato(const estado_execucao& e, const metodo_efetivo& m) {
    if (!m.solucao_exata) return {sem_solucao, sem_solucao};
    const int nx = e.nxk, ny = e.nyk;
    const double dx = e.dx, dy = e.dy;
    const solucao_exata s = solucao_exata_de(m);
    std::vector<double> fx(static_cast<std::size_t>(nx) + 1);
    for (int i = 1; i <= nx; ++i) fx[static_cast<std::size_t>(i)] = s.fator_x(static_cast<double>(i - 1) * dx);
    erro_exato r;
    double soma = 0.0;
    for (int j = 1; j <= ny; ++j) {
        const double fy = s.fator_y(static_cast<double>(j - 1) * dy);
        for (int i = 1; i <= nx; ++i) {
            const double d = std::fabs(e.T[i + (j - 1L) * nx] - s.combinar(fx[static_cast<std::size_t>(i)], fy));
            if (!(d <= r.maximo)) r.maximo = d; // um NaN fica no máximo
            soma += d;
        }
    }
    const double n = static_cast<double>(nx) * static_cast<double>(ny);
    r.medio = n > 0 ? soma / n : 0.0;
    return r;
}

amostra_campo amostrar_campo(const estado_execucao& e, const metodo_efetivo& m, int lado) {
    const int maior = e.nxk > e.nyk ? e.nxk : e.nyk;
    const int passo = maior > lado ? (maior - 1 + lado - 2) / (lado - 1) : 1;
    amostra_campo a;
    const std::vector<int> is = indices(e.nxk, passo), js = indices(e.nyk, passo);
    const solucao_exata s = solucao_exata_de(m);
    for (int i : is) a.x.push_back(static_cast<double>(i - 1) * e.dx);
    for (int j : js) a.y.push_back(static_cast<double>(j - 1) * e.dy);
    for (std::size_t b = 0; b < js.size(); ++b) {
        const double fy = m.solucao_exata ? s.fator_y(a.y[b]) : sem_solucao;
        for (std::size_t c = 0; c < is.size(); ++c) {
            const double t = e.T[is[c] + (js[b] - 1L) * e.nxk];
            a.T.push_back(t);
            a.erro.push_back(m.solucao_exata ? std::fabs(t - s.combinar(s.fator_x(a.x[c]), fy)) : sem_solucao);
        }
    }
    if (e.kappa.empty()) return a;
    const int n1 = e.nxk - 1, m1 = e.nyk - 1;
    int largura = 1;
    while ((std::max(n1, m1) + largura - 1) / largura > celulas_do_mapa) largura *= 2;
    const blocos bx = em_blocos(n1, largura), by = em_blocos(m1, largura);
    for (double c : bx.centro) a.xc.push_back(c * e.dx);
    for (double c : by.centro) a.yc.push_back(c * e.dy);
    for (int j : by.celula)
        for (int i : bx.celula) a.kappa.push_back(e.kappa[static_cast<std::size_t>(i + (j - 1L) * n1)]);
    return a;
}
