// O método nos relatórios: o bloco MÉTODO da listagem, a linha de componentes (monitor) e as colunas do resumo e do
// CSV, com os nomes e os valores da tabela das opções (state/opcoes_metodo.h);
// o problema (eps, coeficiente, --problem) só onde difere do padrão, para que a rodada clássica fique como sempre.
#include "report/listagem.h"
#include "state/opcoes_metodo.h"

namespace {

std::string texto15(const std::string& s) { return s.size() >= 15 ? s : s + std::string(15 - s.size(), ' '); }

std::string contagem(long n) { return inteiro(n, 11) + "    "; }

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
    if (e.nm >= 2) linha(texto15(componente(m.restricao).nome), "   = restrição: " + nomes_de_restricoes("ou"));
    const bool aleatorio = m.inicio == tipo_inicio::aleatorio;
    linha(texto15(latin1(aleatorio ? "aleatório" : "tipo_ci")), "   = início: tipo_ci ou aleatório");
    if (aleatorio) linha(contagem(static_cast<long>(m.semente)), "   = semente: do início aleatório");
    if (m.eps != 1.0) linha(cientifico(m.eps, 17, 8), " = eps: o operador é eps*u_xx + u_yy");
    if (m.coeficiente.tipo != tipo_coeficiente::constante)
        linha(texto15(texto_coeficiente(m.coeficiente)), "   = coeficiente: kappa por célula, o operador div(kappa grad u)");
    if (!m.problema_da_entrada)
        linha(texto15(texto_problema(m.problema)), "   = problema: o de --problem, no lugar do da entrada");
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

std::string colunas_problema(const metodo_efetivo& m) {
    return do_grupo(grupo_opcao::problema, [&](const opcao_metodo& o) { return texto_csv(o.efetivo(m)); });
}
