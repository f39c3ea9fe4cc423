// O estudo nos relatórios: a tabela das rodadas (saída padrão) e os comandos de shell de --commands.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {

std::string cientifica(double v) {
    if (!std::isfinite(v)) return "-";
    char b[32];
    std::snprintf(b, sizeof b, "%.3e", v);
    return b;
}

// Três algarismos significativos (tempos de 1e-5 a 1e3 s).
std::string significativos(double v) {
    if (!std::isfinite(v)) return "-";
    char b[32];
    std::snprintf(b, sizeof b, "%.3g", v);
    return b;
}

// Uma coluna da tabela: título e o lado do alinhamento.
struct coluna {
    std::string titulo;
    bool a_direita = true;
};

std::string alinhar(const std::string& s, std::size_t w, bool a_direita) {
    const std::string brancos(w > largura(s) ? w - largura(s) : 0, ' ');
    return a_direita ? brancos + s : s + brancos;
}

} // namespace

std::string citar_para_shell(const std::string& s) {
    const char* seguros = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./:=+,@%-";
    if (!s.empty() && s.find_first_not_of(seguros) == std::string::npos && s[0] != '=') return s;
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

std::string comando_de_shell(const std::string& diretorio, const std::vector<std::string>& argumentos) {
    std::string s = diretorio.empty() ? std::string() : "cd " + citar_para_shell(diretorio) + " && ";
    for (std::size_t i = 0; i < argumentos.size(); ++i) s += (i ? " " : "") + citar_para_shell(argumentos[i]);
    return s;
}

namespace {

// As células de uma linha da tabela, já no conjunto de caracteres do terminal (um nome com controles ou marcas
// bidirecionais sai escapado, e a largura conta o que aparece).
std::vector<std::string> celulas(const linha_estudo& l, bool com_ordem) {
    const conjunto_caracteres t = conjunto_do_terminal();
    std::vector<std::string> c{para_terminal(l.caso, t)};
    for (const std::string& v : l.parametros) c.push_back(para_terminal(v, t));
    const double razao = l.q_assintotico / l.rho_lfa;
    for (const std::string& v :
         {std::to_string(l.niter), l.veredito, cifra(l.q_assintotico, 4), cifra(l.rho_lfa, 4), cifra(razao, 2),
          cifra(l.trabalho_ciclo, 3), cifra(l.q_por_trabalho, 4), significativos(cpu_da_rodada(l)), cientifica(l.erro_algebrico_max),
          cientifica(l.erro_discretizacao_max)})
        c.push_back(para_terminal(v, t));
    if (com_ordem) c.push_back(cifra(l.ordem, 2));
    return c;
}

} // namespace

// Em duas passadas pelas linhas (as larguras, depois o texto): nenhuma célula fica guardada, só o texto final.
std::string texto_tabela_estudo(const tabela_estudo& t) {
    std::vector<coluna> c;
    c.push_back({"caso", false});
    for (const std::string& p : t.parametros) c.push_back({para_terminal(p, conjunto_do_terminal()), false});
    const bool com_ordem = !t.series_grade.empty();
    // os títulos são as colunas do resumo de que as células vêm (q/rho é a razão das duas)
    for (const char* titulo : {"niter", "veredito", "q_assintotico", "rho_lfa", "q/rho", "trabalho_ciclo", "q_por_trabalho",
                               "cpu_s", "erro_algebrico_max", "erro_discretizacao_max"})
        c.push_back({titulo, true});
    if (com_ordem) c.push_back({"ordem", true});
    std::vector<std::size_t> w;
    for (const coluna& x : c) w.push_back(largura(x.titulo));
    for (const linha_estudo& l : t.linhas) {
        const std::vector<std::string> v = celulas(l, com_ordem);
        for (std::size_t k = 0; k < v.size(); ++k) w[k] = std::max(w[k], largura(v[k]));
    }
    std::string s = no_terminal("estudo: " + std::to_string(t.linhas.size()) + (t.linhas.size() == 1 ? " rodada" : " rodadas") +
                                ", resumo em " + t.resumo);
    std::string cab;
    for (std::size_t k = 0; k < c.size(); ++k) cab += (k ? "  " : "") + alinhar(c[k].titulo, w[k], c[k].a_direita);
    s += no_terminal(sem_brancos_finais(cab));
    for (const linha_estudo& l : t.linhas) {
        const std::vector<std::string> v = celulas(l, com_ordem);
        std::string linha;
        for (std::size_t k = 0; k < c.size(); ++k) linha += (k ? "  " : "") + alinhar(v[k], w[k], c[k].a_direita);
        s += sem_brancos_finais(linha) + "\n"; // já no conjunto do terminal
    }
    s += no_terminal("q_assintotico: fator assintótico medido; rho_lfa: fator de dois níveis previsto; trabalho_ciclo: "
                     "varreduras do nível mais fino (UT) por ciclo; q_por_trabalho: o fator por UT; erros contra a solução "
                     "discreta exata (algébrico) e dela contra a exata (discretização)");
    if (com_ordem) {
        s += no_terminal("ordem: log(e'/e)/log(h'/h) do erro de discretização máximo contra a grade mais grossa anterior "
                         "do mesmo problema (h = 1/(nx+1), ou 1/(ny+1) quando só ny varia)");
        for (const serie_estudo& x : t.series_grade)
            s += no_terminal("inclinação observada do erro contra h" + (x.rotulo.empty() ? std::string() : " (" + x.rotulo + ")") +
                             ": " + cifra(x.inclinacao, 2));
    }
    return s;
}
