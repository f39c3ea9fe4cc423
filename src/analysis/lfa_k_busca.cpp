// O fator de k níveis do ciclo da rodada: o sup do raio do símbolo de k níveis sobre as frequências base, e o pedido
// que a rodada faz (ciclo, contagens, o tratamento do nível mais grosso da análise).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/analise.h"
#include "solver/solver.h"

// O conjunto de harmônicos da base theta só muda de ordem com theta -> theta + 2 pi / 2^(k-1) em cada direção: as
// bases cobrem um período T = pi / 2^(k-2) (k = 2: as frequências baixas de analisar_lfa). Como os símbolos vêm de
// operadores reais, f(-theta) = f(theta): só a metade theta2 > 0 da grade deslocada de meio passo
// theta_i = -T/2 + (i + 1/2) T/n. Do maior valor da grade, busca por coordenadas (8 vizinhos a +-passo; anda para o
// maior, senão passo/2) até passo < 1e-3 T (perto do máximo o erro é da ordem
// do quadrado do passo, 1e-6 relativo). Frequências excluídas: com o nível mais grosso resolvido, a vizinhança
// |theta|_inf < 1e-4 T/pi (mod T) de 0, onde L_H some; com ele suavizado, as frequências grossas Phi = 2^(k-1) theta
// abaixo da menor que o nível 1 da rodada tem (ali o símbolo de uma grade infinita vai a 1 e a rodada não as tem).

namespace {

using std::numbers::pi;

struct ponto_k {
    double valor = -1.0, t1 = 0.0, t2 = 0.0;
};

double reduzir(double t, double periodo) { return t - periodo * std::floor(t / periodo + 0.5); }

bool admitido(const pedido_lfa_k& k, double periodo, double t1, double t2) {
    if (k.grosso < 0)
        return std::max(std::fabs(reduzir(t1, periodo)), std::fabs(reduzir(t2, periodo))) >= 1e-4 * periodo / pi;
    const double escala = std::ldexp(1.0, k.niveis - 1);
    return std::fabs(reduzir(escala * t1, 2.0 * pi)) >= k.baixa_grosso[0] &&
           std::fabs(reduzir(escala * t2, 2.0 * pi)) >= k.baixa_grosso[1];
}

} // namespace

resultado_lfa_k analisar_lfa_k(const pedido_lfa_k& k) {
    resultado_lfa_k r;
    if (k.niveis == 2 && k.grosso < 0) { // o de dois níveis, o mesmo número
        const resultado_lfa dois = analisar_lfa(k.base);
        r.rho = dois.rho;
        r.theta = dois.theta_rho;
        r.avaliacoes = dois.avaliacoes;
        return r;
    }
    const double periodo = pi / std::ldexp(1.0, k.niveis - 2);
    const int n = std::max(k.pontos, 2);
    double passo = periodo / n;
    ponto_k melhor;
    for (int j = 0; j < n; ++j) {
        const double t2 = -0.5 * periodo + (j + 0.5) * passo;
        if (t2 < 0.0) continue;
        for (int i = 0; i < n; ++i) {
            const double t1 = -0.5 * periodo + (i + 0.5) * passo;
            if (!admitido(k, periodo, t1, t2)) continue;
            const double v = raio_k_niveis(k, t1, t2);
            ++r.avaliacoes;
            if (v > melhor.valor || std::isnan(v)) melhor = {v, t1, t2};
            if (std::isnan(v)) break;
        }
    }
    for (int movimentos = 0; std::isfinite(melhor.valor) && passo >= 1e-3 * periodo && movimentos < 100; ++movimentos) {
        ponto_k vizinho = melhor;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                const double t1 = melhor.t1 + di * passo, t2 = melhor.t2 + dj * passo;
                if ((di == 0 && dj == 0) || !admitido(k, periodo, t1, t2)) continue;
                const double v = raio_k_niveis(k, t1, t2);
                ++r.avaliacoes;
                if (v > vizinho.valor) vizinho = {v, t1, t2};
            }
        if (vizinho.valor > melhor.valor) melhor = vizinho;
        else passo *= 0.5;
    }
    r.rho = melhor.valor < 0.0 ? sem_cifra : melhor.valor;
    r.theta = {reduzir(melhor.t1, periodo), reduzir(melhor.t2, periodo)};
    return r;
}

pedido_lfa_k pedido_k_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1, int k) {
    pedido_lfa_k p;
    p.base = pedido_da_rodada(m, nitm, nm, nx, ny);
    p.ciclo = m.ciclo;
    p.niveis = k;
    if (k == nm && !m.grosso_exato) {
        p.grosso = std::max(m.grosso, 0);
        p.baixa_grosso = {pi / std::max(nxg1 - 1, 1), pi / std::max(nyg1 - 1, 1)};
    }
    return p;
}

// Por que o método inteiro fica fora da análise de k níveis (vazio: ela se aplica). A aceleração de Krylov, quando o
// registro do método a tiver, entra aqui: a iteração externa deixa de ser o ciclo, e o seu fator não é o do símbolo.
std::string metodo_sem_lfa_k(const metodo_efetivo& m) {
    if (m.operador_variavel) return "o coeficiente varia de célula a célula: não há símbolo de Fourier";
    if (m.krylov.tipo != tipo_krylov::nenhum)
        return "com --krylov o ciclo é só o precondicionador";
    return {};
}

std::vector<linha_lfa_k> tabela_lfa_k(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1) {
    std::vector<linha_lfa_k> linhas;
    for (int k = 2; k <= 4; ++k) {
        linha_lfa_k l;
        l.niveis = k;
        const pedido_lfa_k p = pedido_k_da_rodada(m, nitm, nm, nx, ny, nxg1, nyg1, k);
        l.grosso = p.grosso;
        if (const std::string fora = metodo_sem_lfa_k(m); !fora.empty()) l.porque = fora;
        else if (k > nm) l.porque = "a rodada tem só " + std::to_string(nm) + (nm == 1 ? " nível" : " níveis");
        else if (const char* porque = k_niveis_nao_se_aplica(p)) l.porque = porque;
        else l.rho = analisar_lfa_k(p).rho;
        linhas.push_back(l);
    }
    return linhas;
}

std::array<double, 3> rho_k_niveis_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1,
                                             int nyg1) {
    std::array<double, 3> rho = {sem_cifra, sem_cifra, sem_cifra};
    const std::vector<linha_lfa_k> linhas = tabela_lfa_k(m, nitm, nm, nx, ny, nxg1, nyg1);
    for (std::size_t i = 0; i < 3; ++i) rho[i] = linhas[i].rho;
    return rho;
}
