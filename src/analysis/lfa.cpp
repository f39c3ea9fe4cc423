// Análise de Fourier local: fator de suavização mu e fator de dois níveis rho, sup sobre as frequências baixas.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <functional>
#include <limits>

#include "analysis/analise.h"

// Como o sup é tomado. As frequências baixas formam [-pi/2, pi/2)^2, e como os símbolos vêm de operadores
// reais, f(-theta) = f(theta).
// 1. Grade deslocada de meio passo: theta_k = -pi/2 + (k + 1/2) pi/n, k = 0..n-1 (n = pontos), só a metade
//    theta2 > 0; com n par nunca cai em theta = 0, onde L_H(2 theta) = 0 e K não existe. mu avalia também
//    theta = 0 (sem singularidade: lá os harmônicos (pi,0), (0,pi), (pi,pi) são altos).
// 2. Refinamento: dos 3 maiores valores da grade, busca por coordenadas (8 vizinhos a +-passo; anda para o
//    maior, senão passo/2) até passo < 1e-9. Para rho a função tem período pi nas duas direções (o conjunto
//    dos 4 harmônicos não muda com theta1 -> theta1 + pi), a busca anda livre nesse toro e só exclui
//    |theta|_inf < 1e-4 (mod pi), onde o limite theta -> 0 (finito, dependente da direção) já foi alcançado
//    a menos de O(1e-8). Para mu, Q distingue o harmônico theta dos outros e quebra a periodicidade: a busca
//    fica na caixa fechada [-pi/2, pi/2]^2 (na borda os dois lados são altos; o sup é o mesmo).
// O valor devolvido é o maior avaliado: uma cota inferior do sup, que o refinamento torna exata na prática.

namespace {

using std::numbers::pi;
constexpr double theta_minimo = 1e-4;

using funcao_theta = std::function<double(double, double)>;

struct ponto {
    double valor = -1.0, t1 = 0.0, t2 = 0.0;
};

// Reduz theta ao intervalo [-pi/2, pi/2) (período pi).
double reduzir(double t) { return t - pi * std::floor(t / pi + 0.5); }

enum class dominio { toro_sem_zero, caixa_baixa };

bool admitido(dominio d, double t1, double t2) {
    if (d == dominio::caixa_baixa) return std::fabs(t1) <= 0.5 * pi && std::fabs(t2) <= 0.5 * pi;
    return std::max(std::fabs(reduzir(t1)), std::fabs(reduzir(t2))) >= theta_minimo;
}

// Guarda os 3 maiores (ordem decrescente).
void guardar(std::array<ponto, 3>& melhores, ponto p) {
    if (!(p.valor > melhores[2].valor)) return;
    melhores[2] = p;
    std::sort(melhores.begin(), melhores.end(), [](const ponto& a, const ponto& b) { return a.valor > b.valor; });
}

ponto refinar(const funcao_theta& f, ponto p, double passo, dominio d, int& avaliacoes) {
    for (int movimentos = 0; passo >= 1e-9 && movimentos < 1000; ++movimentos) {
        ponto melhor = p;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                if (di == 0 && dj == 0) continue;
                const double t1 = p.t1 + di * passo, t2 = p.t2 + dj * passo;
                if (!admitido(d, t1, t2)) continue;
                const double v = f(t1, t2);
                ++avaliacoes;
                if (v > melhor.valor) melhor = {v, t1, t2};
            }
        if (melhor.valor > p.valor) p = melhor;
        else passo *= 0.5;
    }
    return p;
}

ponto maximizar(const funcao_theta& f, const std::array<ponto, 3>& grade, double passo, dominio d,
                int& avaliacoes) {
    ponto melhor = grade[0];
    for (const ponto& inicio : grade) {
        if (inicio.valor < 0.0) continue;
        const ponto p = refinar(f, inicio, passo, d, avaliacoes);
        if (p.valor > melhor.valor) melhor = p;
    }
    melhor.t1 = reduzir(melhor.t1);
    melhor.t2 = reduzir(melhor.t2);
    return melhor;
}

} // namespace

resultado_lfa analisar_lfa(const pedido_lfa& p) {
    const int n = std::max(p.pontos, 2);
    const int nu = p.nu1 + p.nu2;
    const double passo = pi / n;
    const funcao_theta f_mu = [&](double t1, double t2) {
        return raio_suavizado(simbolo_suavizador(p, t1, t2), 1, p.engrossamento);
    };
    // com a pós-suavização adjunta, Q S_pos^nu2 S^nu1
    const auto mu_nu_de = [&](const matriz4& s, double t1, double t2) {
        if (!pos_suavizacao_adjunta(p) || p.nu2 <= 0) return raio_suavizado(s, nu, p.engrossamento);
        const potencia4 antes = potencia(s, p.nu1), depois = potencia(simbolo_pos_suavizacao(p, t1, t2), p.nu2);
        return raio_suavizado(potencia4{produto(depois.m, antes.m), antes.expoente + depois.expoente}, nu,
                              p.engrossamento);
    };
    const funcao_theta f_mu_nu = [&](double t1, double t2) { return mu_nu_de(simbolo_suavizador(p, t1, t2), t1, t2); };
    const funcao_theta f_rho = [&](double t1, double t2) { return raio_dois_niveis(p, t1, t2); };
    resultado_lfa r;
    std::array<ponto, 3> g_mu{}, g_mu_nu{}, g_rho{};
    guardar(g_mu, {f_mu(0.0, 0.0), 0.0, 0.0});
    if (nu > 0) guardar(g_mu_nu, {f_mu_nu(0.0, 0.0), 0.0, 0.0});
    r.avaliacoes = 1 + (nu > 0 ? 1 : 0);
    for (int k2 = 0; k2 < n; ++k2) {
        const double t2 = -0.5 * pi + (k2 + 0.5) * passo;
        if (t2 < 0.0) continue;
        for (int k1 = 0; k1 < n; ++k1) {
            const double t1 = -0.5 * pi + (k1 + 0.5) * passo;
            const matriz4 s = simbolo_suavizador(p, t1, t2);
            guardar(g_mu, {raio_suavizado(s, 1, p.engrossamento), t1, t2});
            if (nu > 0) guardar(g_mu_nu, {mu_nu_de(s, t1, t2), t1, t2});
            if (admitido(dominio::toro_sem_zero, t1, t2)) guardar(g_rho, {f_rho(t1, t2), t1, t2});
            ++r.avaliacoes;
        }
    }
    const ponto mu = maximizar(f_mu, g_mu, passo, dominio::caixa_baixa, r.avaliacoes);
    const ponto rho = maximizar(f_rho, g_rho, passo, dominio::toro_sem_zero, r.avaliacoes);
    r.mu = mu.valor;
    r.theta_mu = {mu.t1, mu.t2};
    r.rho = rho.valor;
    r.theta_rho = {rho.t1, rho.t2};
    r.mu_nu = nu > 0 ? maximizar(f_mu_nu, g_mu_nu, passo, dominio::caixa_baixa, r.avaliacoes).valor
                     : std::numeric_limits<double>::quiet_NaN();
    return r;
}
