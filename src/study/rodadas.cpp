// Rodadas de um estudo: as combinações das varreduras, cada uma conferida sobre os valores lidos uma vez, com o seu
// plano de memória, a assinatura dos seus valores, o nome seguro da sua listagem e a linha de comando do filho, que
// é a rodada que o usuário teria ao editar a entrada à mão.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "state/opcoes_metodo.h"
#include "study/estudo.h"

namespace {

constexpr std::size_t max_caso = 50;       // caracteres do caso na entrada
constexpr std::size_t algarismos_assinatura = 10; // 40 bits: nomes iguais só para valores iguais, na prática

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

// As opções do método de uma rodada, a última de cada nome valendo: as dadas, depois as varridas.
std::vector<alteracao_entrada> metodo_da_rodada(const opcoes_execucao& o, const std::vector<std::size_t>& indices) {
    std::vector<alteracao_entrada> m;
    const auto por_opcao = [&](const std::string& nome, const std::string& valor) {
        std::erase_if(m, [&](const alteracao_entrada& a) { return a.nome == nome; });
        m.push_back({nome, valor});
    };
    for (const alteracao_entrada& a : o.opcoes_metodo) por_opcao(a.nome, a.valor.empty() ? "1" : a.valor);
    for (std::size_t i = 0; i < o.varreduras.size(); ++i)
        if (opcao_de_metodo(o.varreduras[i].nome)) por_opcao(o.varreduras[i].nome, o.varreduras[i].valores[indices[i]]);
    return m;
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

// FNV-1a de 64 bits.
std::uint64_t fnv1a(const std::string& s) {
    std::uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ULL;
    return h;
}

// A rodada lida como o filho a leria (os valores lidos uma vez, as alterações da rodada): um erro de tamanho aparece
// antes de qualquer filho; e o plano de memória dela.
estado_execucao valores_da_rodada(const estado_execucao& base, const std::vector<alteracao_entrada>& varridas) {
    estado_execucao e = base;
    std::vector<valor_lido> lidos;
    aplicar_alteracoes(e, varridas, lidos);
    derivar_niveis(e);
    return e;
}

long long memoria_da_rodada(const estado_execucao& e, const opcoes_execucao& o,
                            const std::vector<alteracao_entrada>& metodo) {
    opcoes_execucao filho;
    filho.resumo = o.resumo;
    for (const alteracao_entrada& m : metodo) ler_opcao_metodo(m.nome, m.valor.c_str(), filho.metodo);
    if (const std::string c = conferir_opcoes_do_problema(filho.metodo); !c.empty()) throw erro_fatal(c);
    const metodo_efetivo efetivo(filho.metodo, e.nitm, e.nm, e.problema);
    conferir_niveis(e, efetivo);
    const necessidade_memoria n = memoria_necessaria(e, filho, efetivo);
    return n.T + n.cor + n.res + n.hist + n.rascunho + n.fator + n.saidas;
}

} // namespace

std::string assinatura_da_rodada(const estado_execucao& e, const std::vector<alteracao_entrada>& metodo, bool utf8) {
    std::string s = std::to_string(e.nm) + ";" + std::to_string(e.nxg[1]) + ";" + std::to_string(e.nyg[1]) + ";" +
                    numero_csv(e.tolt) + ";" + std::to_string(e.itmax) + ";" + std::to_string(e.nitm) + ";" +
                    std::to_string(e.problema) + ";" + std::to_string(e.tipo_ci) + ";" + std::to_string(e.escreve) + ";" +
                    std::to_string(e.freq) + ";" + e.titulo + ";" + (utf8 ? "utf8" : "latin1");
    std::vector<alteracao_entrada> m = metodo;
    std::sort(m.begin(), m.end(), [](const alteracao_entrada& a, const alteracao_entrada& b) { return a.nome < b.nome; });
    for (const alteracao_entrada& a : m) s += std::string(1, '\0') + a.nome + "=" + a.valor;
    char b[24];
    std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(fnv1a(s)));
    return std::string(b, algarismos_assinatura);
}

std::string nome_da_rodada(const std::string& caso, const std::vector<varredura>& v,
                           const std::vector<std::size_t>& indices, const std::string& assinatura) {
    std::string base = base_segura(caso), partes;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::string& valor = v[i].valores[indices[i]];
        partes += "-" + v[i].nome + (todo_seguro(valor) ? valor : std::to_string(indices[i] + 1));
    }
    const std::string fim = "-" + assinatura + ".lst";
    // longo demais para os 50 caracteres de caso: encurta o nome do arquivo (nunca a pasta), depois os valores;
    // a assinatura fica, e com ela nomes diferentes para rodadas diferentes
    const std::size_t pasta = base.rfind('/') == std::string::npos ? 0 : base.rfind('/') + 1;
    std::size_t sobra = base.size() + partes.size() + fim.size();
    if (sobra > max_caso) {
        const std::size_t corte = std::min(sobra - max_caso, base.size() - pasta - 1);
        base.resize(base.size() - corte);
        sobra -= corte;
    }
    if (sobra > max_caso) partes.resize(partes.size() - std::min(partes.size(), sobra - max_caso));
    return base + partes + fim;
}

std::vector<rodada_estudo> planejar_estudo(const opcoes_execucao& o, const estado_execucao& base,
                                           const std::string& estudo) {
    std::vector<rodada_estudo> r;
    const std::size_t n = o.varreduras.size();
    std::vector<std::size_t> indices(n, 0);
    for (bool fim = n == 0; !fim;) {
        rodada_estudo x;
        x.indices = indices;
        for (std::size_t i = 0; i < n; ++i)
            if (!opcao_de_metodo(o.varreduras[i].nome)) x.alteracoes.push_back({o.varreduras[i].nome, o.varreduras[i].valores[indices[i]]});
        const std::vector<alteracao_entrada> metodo = metodo_da_rodada(o, indices);
        estado_execucao e;
        try {
            e = valores_da_rodada(base, x.alteracoes);
        } catch (const erro_fatal& erro) {
            throw erro_fatal("the study run " + nome_da_rodada(base.arquivo_listagem, o.varreduras, indices, "") +
                             " cannot start: " + erro.what() + "; nothing was run");
        }
        x.listagem = nome_da_rodada(base.arquivo_listagem, o.varreduras, indices, assinatura_da_rodada(e, metodo, o.utf8));
        if (x.listagem.size() > max_caso)
            throw erro_fatal("the listing names of this study do not fit the 50 characters of caso (the folder of '" +
                             base.arquivo_listagem + "' is too long); nothing was run");
        try {
            x.memoria = memoria_da_rodada(e, o, metodo);
        } catch (const erro_fatal& erro) {
            throw erro_fatal("the study run " + nome_da_rodada(base.arquivo_listagem, o.varreduras, indices, "") +
                             " cannot start: " + erro.what() + "; nothing was run");
        }
        x.alteracoes.push_back({"caso", x.listagem});
        std::vector<std::string>& a = x.argumentos;
        a = {"-n", "-j", "1"};
        if (o.utf8) a.push_back("--utf8");
        if (o.repeticoes > 1) a.insert(a.end(), {"--repeat", std::to_string(o.repeticoes)});
        for (const alteracao_entrada& m : metodo) argumento_de_metodo(a, m.nome, m.valor);
        for (const alteracao_entrada& s : o.alteracoes) a.insert(a.end(), {"--set", s.nome + "=" + s.valor});
        for (const alteracao_entrada& s : x.alteracoes) a.insert(a.end(), {"--set", s.nome + "=" + s.valor});
        a.insert(a.end(), {"--summary", o.resumo, "--study-id", estudo, "--"});
        r.push_back(x);
        // o próximo índice: a última varredura anda mais depressa
        std::size_t i = n;
        while (i > 0 && ++indices[i - 1] == o.varreduras[i - 1].valores.size()) indices[--i] = 0;
        fim = i == 0;
    }
    return r;
}

std::string coluna_do_parametro(const std::string& nome) {
    // as opções e os valores da entrada que um estudo varre têm no resumo a coluna do mesmo nome
    if (opcao_do_metodo(nome)) return nome;
    for (const char* c : {"nm", "nxg", "nyg", "tolt", "itmax", "nitm", "problema", "tipo_ci"})
        if (nome == c) return nome;
    return {};
}
