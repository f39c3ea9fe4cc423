// O documento JSON de uma rodada (--json): as colunas do resumo nas suas seções, com os mesmos nomes, mais o que uma
// linha não carrega (o título, os níveis, o histórico, os tempos por fase, o plano de memória). A forma está em
// doc/placa.schema.json; null é o que não se aplica ou não é um número finito.
#include <map>

#include "report/json.h"

namespace {

using membros = std::vector<std::pair<std::string, std::string>>; // chave e valor já em JSON

// O nome de cada fase cronometrada (as mesmas palavras do enum, sem acentos).
constexpr std::pair<fase_tempo, const char*> nomes_das_fases[] = {
    {fase_tempo::suavizacao, "suavizacao"},
    {fase_tempo::restricao, "restricao"},
    {fase_tempo::prolongacao, "prolongacao"},
    {fase_tempo::norma, "norma"},
    {fase_tempo::grosso, "grosso"},
    {fase_tempo::suavizacao_restricao, "suavizacao_restricao"},
    {fase_tempo::prolongacao_suavizacao, "prolongacao_suavizacao"},
    {fase_tempo::suavizacao_norma, "suavizacao_norma"},
    {fase_tempo::operador, "operador"},
};

// Um objeto numa linha por membro, recuado por `recuo` brancos.
std::string objeto(const membros& m, int recuo) {
    if (m.empty()) return "{}";
    const std::string dentro(static_cast<std::size_t>(recuo + 2), ' ');
    std::string s = "{\n";
    for (std::size_t i = 0; i < m.size(); ++i)
        s += dentro + texto_json(m[i].first) + ": " + m[i].second + (i + 1 < m.size() ? ",\n" : "\n");
    return s + std::string(static_cast<std::size_t>(recuo), ' ') + "}";
}

// Uma lista de valores numa linha.
template <class F>
std::string lista(long long n, F valor) {
    std::string s = "[";
    for (long long i = 0; i < n; ++i) s += (i ? ", " : "") + valor(i);
    return s + "]";
}

std::string inteiro_json(long long v) { return std::to_string(v); }

// O histórico em colunas (pandas.DataFrame(doc["historico"])): os nomes das colunas do --csv.
membros historico(const estado_execucao& e, std::span<const erro_iteracao> erros,
                  std::span<const normas_iteracao> normas) {
    const long long n = e.niter + 1;
    membros h = {
        {"iteracao", lista(n, [](long long it) { return inteiro_json(it); })},
        {"L1(R)", lista(n, [&](long long it) { return numero_json(e.hist[it]); })},
        {"L1(R)i/L1(R)o", lista(n, [&](long long it) { return it ? numero_json(da_iteracao(e, it).razao) : "1"; })},
        {"q", lista(n, [&](long long it) { return it ? numero_json(da_iteracao(e, it).q) : "null"; })},
        {"qmed", lista(n, [&](long long it) { return it ? numero_json(da_iteracao(e, it).qmed) : "null"; })},
    };
    if (!erros.empty()) {
        const auto erro = [&](long long it) {
            const auto i = static_cast<std::size_t>(it);
            return i < erros.size() ? erros[i] : erro_iteracao{};
        };
        h.push_back({"erro_algebrico_max", lista(n, [&](long long it) { return numero_json(erro(it).maximo); })});
        h.push_back({"erro_algebrico_medio", lista(n, [&](long long it) { return numero_json(erro(it).medio); })});
    }
    if (!normas.empty()) {
        const auto norma = [&](long long it) {
            const auto i = static_cast<std::size_t>(it);
            return i < normas.size() ? normas[i] : normas_iteracao{};
        };
        h.push_back({"L2(R)", lista(n, [&](long long it) { return numero_json(norma(it).l2); })});
        h.push_back({"max(R)", lista(n, [&](long long it) { return numero_json(norma(it).maximo); })});
        h.push_back({"L2(R)_krylov", lista(n, [&](long long it) { return numero_json(norma(it).krylov); })});
    }
    return h;
}

// Os tempos de relógio por nível (1..nm) e fase, em segundos, também em colunas.
std::string tempos(const estado_execucao& e, const tempos_fases* t) {
    if (!t || t->por_nivel.size() < static_cast<std::size_t>(e.nm) + 1) return "null";
    membros m = {{"nivel", lista(e.nm, [](long long k) { return inteiro_json(k + 1); })}};
    for (const auto& [fase, nome] : nomes_das_fases) {
        const auto f = static_cast<std::size_t>(fase);
        m.push_back({std::string(nome) + "_s", lista(e.nm, [&](long long k) {
                         return numero_json(t->por_nivel[static_cast<std::size_t>(k) + 1][f]);
                     })});
    }
    return objeto(m, 2);
}

} // namespace

void escrever_json(const dados_json& d, saida_texto& saida) {
    const estado_execucao& e = d.e;
    const dados_da_linha linha{e, d.cifras, d.metodo, proveniencia_da_rodada(e), d.estudo};
    // as colunas do resumo nas suas seções, na ordem do arquivo
    std::map<secao_json, membros> secoes;
    for (const coluna_resumo& c : colunas_do_resumo())
        secoes[c.secao].push_back({c.nome, valor_json(c.tipo, c.valor(linha))});
    membros& origem = secoes[secao_json::origem];
    origem.push_back({"threads_pedidas", inteiro_json(e.threads_pedidas)});
    origem.push_back({"processadores", inteiro_json(e.processadores)});
    membros& entrada = secoes[secao_json::entrada];
    entrada.insert(entrada.begin() + 1, {"titulo", texto_json(utf8(sem_brancos_finais(e.titulo)))});
    entrada.push_back({"escreve", inteiro_json(e.escreve)});
    entrada.push_back({"freq", inteiro_json(e.freq)});
    secoes[secao_json::metodo].push_back({"classico", d.metodo.classico ? "true" : "false"});
    // os pontos de cada nível, 1 (o mais grosso) a nm, contornos incluídos
    secoes[secao_json::grade].push_back(
        {"niveis", objeto({{"nxg", lista(e.nm, [&](long long k) { return inteiro_json(e.nxg[k + 1]); })},
                           {"nyg", lista(e.nm, [&](long long k) { return inteiro_json(e.nyg[k + 1]); })}},
                          4)});
    membros memoria;
    for (const auto& [nome, bytes] : d.memoria) memoria.push_back({nome, bytes < 0 ? "null" : inteiro_json(bytes)});

    membros documento = {{"formato", texto_json("placa-rodada")}, {"versao_formato", "1"}};
    for (const secao_json s : {secao_json::origem, secao_json::entrada, secao_json::grade, secao_json::metodo,
                               secao_json::resultado})
        documento.push_back({nome_da_secao(s), objeto(secoes[s], 2)});
    documento.push_back({"historico", objeto(historico(e, d.erros, d.normas), 2)});
    for (const secao_json s : {secao_json::analise, secao_json::erro})
        documento.push_back({nome_da_secao(s), objeto(secoes[s], 2)});
    documento.push_back({"tempos", tempos(e, d.tempos)});
    documento.push_back({"memoria", objeto(memoria, 2)});
    saida.bruto(objeto(documento, 0) + "\n");
}
