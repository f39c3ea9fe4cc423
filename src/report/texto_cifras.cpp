// As cifras da análise nos relatórios: linhas do sumário do monitor (as colunas do resumo estão em
// colunas_resumo.cpp). Só imprime o que recebe.
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {


} // namespace

const char* const lfa_nao_se_aplica =
    "não se aplica ao coeficiente variável (a análise supõe um só estêncil constante numa grade infinita; kappa muda "
    "de célula a célula e não tem símbolo de Fourier)";
const char* const sem_solucao_exata =
    "sem solução exata (coeficiente variável ou fonte constante): só o resíduo mede a convergência";

std::string cifra(double v, int decimais) {
    if (!std::isfinite(v)) return "-";
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", decimais, v);
    return b;
}

std::string razao_de_coeficientes(double v) {
    if (!std::isfinite(v)) return "-";
    if (v >= 1e-3 && v < 1e5) return cifra(v, 4);
    char b[64];
    std::snprintf(b, sizeof b, "%.4e", v); // 9 x 7999993 pontos: 1.0000e-12, nunca 0.0000
    return b;
}

std::string linhas_cifras_monitor(const estado_execucao& e, const cifras_rodada& c) {
    const bool mg = e.nm >= 2;
    std::string s;
    // teoria
    const std::string contagens = mg ? "nu1 = " + std::to_string(c.nu1) + ", nu2 = " + std::to_string(c.nu2)
                                     : "nu = " + std::to_string(c.nu1) + " varreduras por iteração";
    std::string lfa = mg ? "LFA (dois níveis, grade infinita): mu = " + cifra(c.mu_lfa, 4) +
                               ", mu_nu = " + cifra(c.mu_nu_lfa, 4) + ", rho = " + cifra(c.rho_lfa, 4)
                         : "LFA (só suavização: com nm = 1 não há correção grossa): mu = " + cifra(c.mu_lfa, 4) +
                               ", mu_nu = " + cifra(c.mu_nu_lfa, 4);
    if (c.lfa_aplica) s += no_terminal(lfa + " (" + contagens + ", ae/an = " + razao_de_coeficientes(c.ae_an) + ")");
    else s += no_terminal(std::string("LFA: ") + lfa_nao_se_aplica + "; a rodada dá só o fator medido");
    // a LFA de k níveis do ciclo da rodada, ao lado do fator medido
    if (c.lfa_aplica && mg) {
        std::string k = "LFA de k níveis do ciclo da rodada: rho_lfa_k2 = " + cifra(c.rho_lfa_k[0], 4) +
                        ", rho_lfa_k3 = " + cifra(c.rho_lfa_k[1], 4) + ", rho_lfa_k4 = " + cifra(c.rho_lfa_k[2], 4);
        // o de mais níveis que se aplica: o mais perto do ciclo que roda
        for (std::size_t i = 3; i-- > 0;)
            if (std::isfinite(c.rho_lfa_k[i]) && c.rho_lfa_k[i] > 0.0) {
                if (std::isfinite(c.q_assintotico))
                    k += "; q/rho_lfa_k" + std::to_string(i + 2) + " = " + cifra(c.q_assintotico / c.rho_lfa_k[i], 2);
                break;
            }
        s += no_terminal(k);
    }
    // medida
    std::string medida = "fator medido: ";
    if (std::isfinite(c.q_assintotico)) {
        medida += "q assintótico = " + cifra(c.q_assintotico, 4) + " (R² = " + cifra(c.r2, 5) + ", reta de ln L1(R) nos ciclos " +
                  std::to_string(c.ajuste_de) + " a " + std::to_string(c.ajuste_ate) + ")";
        if (std::isfinite(c.rho_lfa) && c.rho_lfa > 0.0) medida += ", q/rho = " + cifra(c.q_assintotico / c.rho_lfa, 2);
    } else {
        medida += "ciclos de menos para o ajuste (são precisos 3 antes do piso, a partir do ciclo 2)";
    }
    if (c.piso > 0)
        medida += "; piso de arredondamento desde o ciclo " + std::to_string(c.piso) +
                  " (q médio de 3 ciclos >= 0,8 depois de 6 ordens de queda; os ciclos a menos de 10x o piso ficam fora)";
    else
        medida += "; sem piso de arredondamento";
    s += no_terminal(medida);
    // custo
    const char* por = mg ? " por ciclo" : " por iteração";
    std::string custo = "trabalho: " + cifra(c.trabalho_ciclo, 3) + " UT" + por + " (varreduras; 1 UT = uma varredura do nível mais fino)";
    if (mg) custo += ", transferências " + cifra(c.transferencias_ciclo, 3) + " UT à parte";
    if (c.solucoes_exatas_ciclo > 0.0) custo += ", " + cifra(c.solucoes_exatas_ciclo, 0) + " soluções diretas do nível 1";
    if (std::isfinite(c.trabalho_fmg)) custo += ", início FMG " + cifra(c.trabalho_fmg, 3) + " UT";
    custo += "; fator por UT = " + cifra(c.q_por_trabalho, 4) + ", " + cifra(c.digitos_por_trabalho, 3) + " dígitos por UT";
    s += no_terminal(custo);
    // erro
    if (!c.solucao_exata) return s + no_terminal(std::string("erro final: ") + sem_solucao_exata);
    s += no_terminal("erro final: algébrico (T - T discreta) máx " + numero_terminal(c.erro_algebrico_max) +
                     ", médio " + numero_terminal(c.erro_algebrico_medio) + "; discretização (T discreta - T exata) máx " +
                     numero_terminal(c.erro_discretizacao_max) + ", médio " +
                     numero_terminal(c.erro_discretizacao_medio));
    return s;
}
