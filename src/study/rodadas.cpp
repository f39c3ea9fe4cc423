// Rodadas de um estudo: as combinações das varreduras, o nome seguro da listagem de cada uma e a linha de comando
// do filho, que é a rodada que o usuário teria ao editar a entrada à mão.
#include "state/opcoes_metodo.h"
#include "study/estudo.h"

namespace {

constexpr std::size_t max_caso = 50; // caracteres do caso na entrada

bool seguro(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '+' || c == '-';
}

bool todo_seguro(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!seguro(c)) return false;
    return true;
}

// O caso sem ".lst", com '_' no lugar do que não é seguro (as pastas ficam) e sem '-' no começo.
std::string base_segura(const std::string& caso) {
    std::string b = caso;
    if (b.size() >= 4 && b.compare(b.size() - 4, 4, ".lst") == 0) b.resize(b.size() - 4);
    for (char& c : b)
        if (!seguro(c) && c != '/') c = '_';
    if (!b.empty() && b[0] == '-') b[0] = '_';
    return b.empty() || b.back() == '/' ? b + "estudo" : b;
}

// Uma opção de método na linha do filho: as sem valor sozinhas (dadas, ou 1 num estudo; 0 não põe nada), as
// outras com o valor.
void argumento_de_metodo(std::vector<std::string>& a, const std::string& nome, const std::string& valor) {
    if (*opcao_do_metodo(nome)->valor == '\0') {
        if (valor != "0") a.push_back("--" + nome);
        return;
    }
    a.push_back("--" + nome);
    a.push_back(valor);
}

} // namespace

std::string nome_da_rodada(const std::string& caso, const std::vector<varredura>& v,
                           const std::vector<std::size_t>& indices, std::size_t numero) {
    const std::string base = base_segura(caso);
    std::string nome = base;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::string& valor = v[i].valores[indices[i]];
        nome += "-" + v[i].nome + (todo_seguro(valor) ? valor : std::to_string(indices[i] + 1));
    }
    nome += ".lst";
    if (nome.size() <= max_caso) return nome;
    const std::string fim = "-r" + std::to_string(numero) + ".lst";
    return base.substr(0, max_caso > fim.size() ? max_caso - fim.size() : 0) + fim;
}

std::vector<rodada_estudo> planejar_estudo(const opcoes_execucao& o, const std::string& caso) {
    std::vector<rodada_estudo> r;
    const std::size_t n = o.varreduras.size();
    std::vector<std::size_t> indices(n, 0);
    for (bool fim = n == 0; !fim;) {
        rodada_estudo x;
        x.indices = indices;
        x.listagem = nome_da_rodada(caso, o.varreduras, indices, r.size() + 1);
        std::vector<std::string>& a = x.argumentos;
        a = {"-n", "-j", "1"};
        if (o.utf8) a.push_back("--utf8");
        for (const alteracao_entrada& m : o.opcoes_metodo) argumento_de_metodo(a, m.nome, m.valor);
        x.alteracoes = o.alteracoes;
        for (std::size_t i = 0; i < n; ++i) {
            const varredura& v = o.varreduras[i];
            if (opcao_de_metodo(v.nome)) argumento_de_metodo(a, v.nome, v.valores[indices[i]]);
            else x.alteracoes.push_back({v.nome, v.valores[indices[i]]});
        }
        x.alteracoes.push_back({"caso", x.listagem});
        for (const alteracao_entrada& s : x.alteracoes) {
            a.push_back("--set");
            a.push_back(s.nome + "=" + s.valor);
        }
        a.insert(a.end(), {"--summary", o.resumo, "--", o.entrada});
        r.push_back(x);
        // o próximo índice: a última varredura anda mais depressa
        std::size_t i = n;
        while (i > 0 && ++indices[i - 1] == o.varreduras[i - 1].valores.size()) indices[--i] = 0;
        fim = i == 0;
    }
    return r;
}

std::string coluna_do_parametro(const std::string& nome) {
    if (const opcao_metodo* m = opcao_do_metodo(nome)) return m->coluna;
    static const std::pair<const char*, const char*> colunas[] = {
        {"nm", "nm"},     {"nxg", "nx"},     {"nyg", "ny"},           {"tolt", "tolt"},
        {"itmax", "itmax"}, {"nitm", "nitm"}, {"problema", "problema"}, {"tipo_ci", "tipo_ci"}};
    for (const auto& [n, c] : colunas)
        if (nome == n) return c;
    return {};
}
