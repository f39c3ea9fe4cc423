// O método nos relatórios: o bloco MÉTODO da listagem, a linha de componentes (CSV, monitor) e as colunas do resumo.
#include "report/listagem.h"

namespace {

std::string texto15(const std::string& s) { return s.size() >= 15 ? s : s + std::string(15 - s.size(), ' '); }

std::string contagem(long n) { return inteiro(n, 11) + "    "; }

} // namespace

void escrever_metodo(const estado_execucao& e, const metodo_solver& metodo, saida_texto& saida) {
    const metodo_solver m = metodo_efetivo(metodo, e.nitm);
    if (metodo_classico(m, e.nm, e.nitm)) return;
    auto linha = [&](const std::string& valor, const char* rotulo) { saida.linha(valor + latin1(rotulo)); };
    saida.linha("");
    saida.linha(latin1("     MÉTODO"));
    if (e.nm >= 2) {
        linha(texto15(nome_ciclo(m.ciclo)), "   = ciclo: V, W ou F");
        linha(texto15(latin1(m.fmg ? "sim" : "não")), "   = fmg: início por multigrid completo");
        linha(contagem(m.pre), "   = pré: varreduras antes da correção grossa");
        linha(contagem(m.pos), "   = pós: varreduras depois da correção grossa");
        if (m.grosso_exato) linha(texto15("exato"), "   = grosso: nível 1 resolvido por método direto");
        else linha(contagem(m.grosso), "   = grosso: varreduras no nível 1");
    }
    linha(texto15(nome_suavizador(m.suavizador)),
          "   = suavizador: gs-lex, gs-rb, jacobi, gs-sym, line-x, line-y ou line-alt");
    if (aceita_omega(m.suavizador)) linha(cientifico(m.omega, 17, 8), " = omega: fator de relaxação");
    if (e.nm >= 2) linha(texto15(nome_restricao(m.restricao)), "   = restrição: injection, half ou full");
    const bool aleatorio = m.inicio == tipo_inicio::aleatorio;
    linha(texto15(latin1(aleatorio ? "aleatório" : "tipo_ci")), "   = início: tipo_ci ou aleatório");
    if (aleatorio) linha(contagem(static_cast<long>(m.semente)), "   = semente: do início aleatório");
}

std::string componentes_metodo(const estado_execucao& e, const metodo_solver& metodo) {
    const metodo_solver m = metodo_efetivo(metodo, e.nitm);
    std::string s;
    if (e.nm >= 2) {
        s += std::string("ciclo=") + nome_ciclo(m.ciclo) + " fmg=" + (m.fmg ? "sim" : "nao") + " pre=" +
             std::to_string(m.pre) + " pos=" + std::to_string(m.pos) + " grosso=" +
             (m.grosso_exato ? std::string("solve") : std::to_string(m.grosso)) + " ";
    }
    s += std::string("suavizador=") + nome_suavizador(m.suavizador);
    if (aceita_omega(m.suavizador)) s += " omega=" + numero_csv(m.omega);
    if (e.nm >= 2) s += std::string(" restricao=") + nome_restricao(m.restricao);
    s += " inicio=" + (m.inicio == tipo_inicio::aleatorio ? "random:" + std::to_string(m.semente)
                                                           : std::string("tipo_ci"));
    return s;
}

std::string cabecalho_colunas_metodo() { return "ciclo,fmg,pre,pos,grosso,suavizador,omega,restricao,inicio"; }

std::string colunas_metodo(const estado_execucao& e, const metodo_solver& metodo) {
    const metodo_solver m = metodo_efetivo(metodo, e.nitm);
    const bool mg = e.nm >= 2;
    auto se_mg = [&](const std::string& s) { return mg ? s : std::string(); };
    return se_mg(nome_ciclo(m.ciclo)) + "," + se_mg(m.fmg ? "1" : "0") + "," + se_mg(std::to_string(m.pre)) + "," +
           se_mg(std::to_string(m.pos)) + "," +
           se_mg(m.grosso_exato ? std::string("solve") : std::to_string(m.grosso)) + "," +
           nome_suavizador(m.suavizador) + "," + (aceita_omega(m.suavizador) ? numero_csv(m.omega) : "") + "," +
           se_mg(nome_restricao(m.restricao)) + "," +
           (m.inicio == tipo_inicio::aleatorio ? "random:" + std::to_string(m.semente) : std::string("tipo_ci"));
}
