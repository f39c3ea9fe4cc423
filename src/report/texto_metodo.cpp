// O método nos relatórios: o bloco MÉTODO da listagem, a linha de componentes (CSV, monitor) e as colunas do resumo;
// o problema (eps, coeficiente, --problem) e a correção grossa só onde diferem do padrão, para que a rodada clássica
// fique como sempre.
#include "report/listagem.h"
#include "state/componentes.h"
#include "state/opcoes_metodo.h"

namespace {

std::string texto15(const std::string& s) { return s.size() >= 15 ? s : s + std::string(15 - s.size(), ' '); }

std::string contagem(long n) { return inteiro(n, 11) + "    "; }

// Os componentes da correção grossa que não são os de sempre (a restrição transposta, Galerkin, a interpolação pelo
// operador, o semiengrossamento): só então a listagem os nomeia, e a legenda da restrição inclui a transposta, para
// que as listagens dos outros métodos fiquem como eram.
bool correcao_robusta(const metodo_efetivo& m) {
    return !m.transferencias_padrao || m.restricao == tipo_restricao::transposta;
}

std::string legenda_das_restricoes(const metodo_efetivo& m) {
    if (correcao_robusta(m)) return nomes_de_restricoes("ou");
    std::vector<const char*> n;
    for (const componente_restricao& r : restricoes())
        if (r.tipo != tipo_restricao::transposta) n.push_back(r.nome);
    std::string s;
    for (std::size_t i = 0; i < n.size(); ++i) s += (i == 0 ? "" : i + 1 == n.size() ? " ou " : ", ") + std::string(n[i]);
    return s;
}

} // namespace

void escrever_metodo(const estado_execucao& e, const metodo_efetivo& m, saida_texto& saida) {
    if (m.classico) return;
    auto linha = [&](const std::string& valor, const std::string& rotulo) {
        saida.linha(valor + latin1(rotulo.c_str()));
    };
    saida.linha("");
    saida.linha(latin1("     MÉTODO"));
    if (e.nm >= 2) {
        linha(texto15(componente(m.ciclo).nome), "   = ciclo: " + nomes_de_ciclos("ou"));
        linha(texto15(latin1(m.fmg ? "sim" : "não")), "   = fmg: início por multigrid completo");
        linha(contagem(m.pre), "   = pré: varreduras antes da correção grossa");
        linha(contagem(m.pos), "   = pós: varreduras depois da correção grossa");
        if (m.grosso_exato) linha(texto15("exato"), "   = grosso: nível 1 resolvido por método direto");
        else linha(contagem(m.grosso), "   = grosso: varreduras no nível 1");
    }
    linha(texto15(componente(m.suavizador).nome), "   = suavizador: " + nomes_de_suavizadores("ou"));
    if (componente(m.suavizador).aceita_omega) linha(cientifico(m.omega, 17, 8), " = omega: fator de relaxação");
    if (e.nm >= 2) linha(texto15(componente(m.restricao).nome), "   = restrição: " + legenda_das_restricoes(m));
    if (e.nm >= 2 && !m.transferencias_padrao) {
        linha(texto15(componente(m.operador_grosso).nome),
              "   = operador grosso: " + nomes_de_operadores_grossos("ou"));
        linha(texto15(componente(m.interpolacao).nome), "   = interpolação: " + nomes_de_interpolacoes("ou"));
        linha(texto15(componente(m.engrossamento).nome),
              "   = engrossamento: " + nomes_de_engrossamentos("ou"));
    }
    const bool aleatorio = m.inicio == tipo_inicio::aleatorio;
    linha(texto15(latin1(aleatorio ? "aleatório" : "tipo_ci")), "   = início: tipo_ci ou aleatório");
    if (aleatorio) linha(contagem(static_cast<long>(m.semente)), "   = semente: do início aleatório");
    if (m.eps != 1.0) linha(cientifico(m.eps, 17, 8), " = eps: o operador é eps*u_xx + u_yy");
    if (m.coeficiente.tipo != tipo_coeficiente::constante)
        linha(texto15(texto_coeficiente(m.coeficiente)), "   = coeficiente: kappa por célula, o operador div(kappa grad u)");
    if (!m.problema_da_entrada)
        linha(texto15(texto_problema(m.problema)), "   = problema: o de --problem, no lugar do da entrada");
}

std::string componentes_metodo(const estado_execucao& e, const metodo_efetivo& m) {
    std::string s;
    if (e.nm >= 2) {
        s += std::string("ciclo=") + componente(m.ciclo).nome + " fmg=" + (m.fmg ? "sim" : "nao") + " pre=" +
             std::to_string(m.pre) + " pos=" + std::to_string(m.pos) + " grosso=" +
             (m.grosso_exato ? std::string("solve") : std::to_string(m.grosso)) + " ";
    }
    s += std::string("suavizador=") + componente(m.suavizador).nome;
    if (componente(m.suavizador).aceita_omega) s += " omega=" + numero_csv(m.omega);
    if (e.nm >= 2) s += std::string(" restricao=") + componente(m.restricao).nome;
    if (e.nm >= 2 && !m.transferencias_padrao)
        s += std::string(" operador_grosso=") + componente(m.operador_grosso).nome + " interpolacao=" +
             componente(m.interpolacao).nome + " engrossamento=" + componente(m.engrossamento).nome;
    s += " inicio=" + (m.inicio == tipo_inicio::aleatorio ? "random:" + std::to_string(m.semente)
                                                           : std::string("tipo_ci"));
    if (m.eps != 1.0) s += " eps=" + numero_csv(m.eps);
    if (m.coeficiente.tipo != tipo_coeficiente::constante) s += " coeficiente=" + texto_coeficiente(m.coeficiente);
    if (!m.problema_da_entrada) s += " problema_efetivo=" + texto_problema(m.problema);
    return s;
}

namespace {

std::string colunas_do_grupo(grupo_opcao g) {
    std::string s;
    for (const opcao_metodo& o : opcoes_do_metodo())
        if (o.grupo == g) s += (s.empty() ? "" : ",") + std::string(o.coluna);
    return s;
}

} // namespace

std::string cabecalho_colunas_metodo() { return colunas_do_grupo(grupo_opcao::metodo); }

std::string cabecalho_colunas_problema() { return colunas_do_grupo(grupo_opcao::problema); }

std::string cabecalho_colunas_grosso() { return colunas_do_grupo(grupo_opcao::grosso); }

std::string colunas_grosso(const estado_execucao& e, const metodo_efetivo& m) {
    if (e.nm < 2) return ",,";
    return std::string(componente(m.operador_grosso).nome) + "," + componente(m.interpolacao).nome + "," +
           componente(m.engrossamento).nome;
}

std::string colunas_problema(const metodo_efetivo& m) {
    return numero_csv(m.eps) + "," + texto_coeficiente(m.coeficiente) + "," + texto_problema(m.problema);
}

std::string colunas_metodo(const estado_execucao& e, const metodo_efetivo& m) {
    const bool mg = e.nm >= 2;
    auto se_mg = [&](const std::string& s) { return mg ? s : std::string(); };
    return se_mg(componente(m.ciclo).nome) + "," + se_mg(m.fmg ? "1" : "0") + "," + se_mg(std::to_string(m.pre)) + "," +
           se_mg(std::to_string(m.pos)) + "," +
           se_mg(m.grosso_exato ? std::string("solve") : std::to_string(m.grosso)) + "," +
           componente(m.suavizador).nome + "," + (componente(m.suavizador).aceita_omega ? numero_csv(m.omega) : "") +
           "," + se_mg(componente(m.restricao).nome) + "," +
           (m.inicio == tipo_inicio::aleatorio ? "random:" + std::to_string(m.semente) : std::string("tipo_ci"));
}
