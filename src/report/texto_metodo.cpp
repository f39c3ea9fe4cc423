// O método nos relatórios: o bloco MÉTODO da listagem, a linha de componentes (monitor) e as colunas do resumo e do
// CSV, com os nomes e os valores da tabela das opções (state/opcoes_metodo.h); o problema (eps, coeficiente,
// --problem) e a correção grossa só onde diferem do padrão, para que a rodada clássica fique como sempre.
#include "report/listagem.h"
#include "state/componentes.h"
#include "state/opcoes_metodo.h"

namespace {

std::string texto15(const std::string& s) { return s.size() >= 15 ? s : s + std::string(15 - s.size(), ' '); }

std::string campo_contagem(long n) { return inteiro(n, 11) + "    "; }

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
        linha(campo_contagem(m.pre), "   = pré: varreduras antes da correção grossa");
        linha(campo_contagem(m.pos), "   = pós: varreduras depois da correção grossa");
        if (m.grosso_exato) linha(texto15("exato"), "   = grosso: nível 1 resolvido por método direto");
        else linha(campo_contagem(m.grosso), "   = grosso: varreduras no nível 1");
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
    if (aleatorio) linha(campo_contagem(static_cast<long>(m.semente)), "   = semente: do início aleatório");
    if (m.eps != 1.0) linha(cientifico(m.eps, 17, 8), " = eps: o operador é eps*u_xx + u_yy");
    if (m.coeficiente.tipo != tipo_coeficiente::constante)
        linha(texto15(texto_coeficiente(m.coeficiente)), "   = coeficiente: kappa por célula, o operador div(kappa grad u)");
    if (!m.problema_da_entrada)
        linha(texto15(texto_problema(m.problema)), "   = problema: o de --problem, no lugar do da entrada");
    if (m.krylov.tipo != tipo_krylov::nenhum) {
        linha(texto15(texto_krylov(m.krylov)), "   = krylov: none, cg, bicgstab ou gmres:M, com o ciclo como "
                                               "precondicionador");
        if (!e.ruptura.empty())
            linha(latin1("     ruptura na iteração ") + std::to_string(e.niter) + ": ", e.ruptura);
    }
    if (e.nm >= 2 && m.ordem == ordem_pos::adjunta)
        linha(texto15("adjoint"), "   = ordem da pós-suavização: same ou adjoint (a adjunta da pré)");
}

std::string componentes_metodo(const metodo_efetivo& m) {
    std::string s;
    for (const opcao_metodo& o : opcoes_do_metodo())
        if (const std::string v = o.efetivo(m); !v.empty()) s += (s.empty() ? "" : " ") + std::string(o.nome) + "=" + v;
    return s;
}

namespace {

std::string do_grupo(grupo_opcao g, const std::function<std::string(const opcao_metodo&)>& f) {
    std::string s;
    bool primeira = true;
    for (const opcao_metodo& o : opcoes_do_metodo())
        if (o.grupo == g) {
            s += (primeira ? "" : ",") + f(o);
            primeira = false;
        }
    return s;
}

} // namespace

std::string cabecalho_colunas_metodo() {
    return do_grupo(grupo_opcao::metodo, [](const opcao_metodo& o) { return std::string(o.nome); });
}

std::string cabecalho_colunas_problema() {
    return do_grupo(grupo_opcao::problema, [](const opcao_metodo& o) { return std::string(o.nome); });
}

std::string colunas_metodo(const metodo_efetivo& m) {
    return do_grupo(grupo_opcao::metodo, [&](const opcao_metodo& o) { return texto_csv(o.efetivo(m)); });
}

std::string cabecalho_colunas_grosso() {
    return do_grupo(grupo_opcao::grosso, [](const opcao_metodo& o) { return std::string(o.nome); });
}

std::string colunas_grosso(const metodo_efetivo& m) {
    return do_grupo(grupo_opcao::grosso, [&](const opcao_metodo& o) { return texto_csv(o.efetivo(m)); });
}

std::string cabecalho_colunas_posterior() {
    return do_grupo(grupo_opcao::posterior, [](const opcao_metodo& o) { return std::string(o.nome); });
}

std::string colunas_posterior(const metodo_efetivo& m) {
    return do_grupo(grupo_opcao::posterior, [&](const opcao_metodo& o) { return texto_csv(o.efetivo(m)); });
}

std::string colunas_problema(const metodo_efetivo& m) {
    return do_grupo(grupo_opcao::problema, [&](const opcao_metodo& o) { return texto_csv(o.efetivo(m)); });
}
