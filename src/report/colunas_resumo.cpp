// As colunas do resumo numa tabela: o nome (o mesmo no CSV, no JSON e nas legendas), o tipo do valor, a seção do JSON
// em que ele fica e como tirá-lo da rodada. O cabeçalho, a linha, o JSON e a leitura de volta leem esta tabela; as
// colunas das opções vêm da tabela delas (state/opcoes_metodo.h). Colunas novas entram sempre no fim: scripts leem
// as antigas pela posição.
#include <algorithm>
#include <cmath>

#include "report/listagem.h"
#include "state/opcoes_metodo.h"

namespace {

// tipos e seções, curtos para a tabela
constexpr tipo_coluna texto = tipo_coluna::texto, inteiro_ = tipo_coluna::inteiro, real = tipo_coluna::real,
                      numero_ou_texto = tipo_coluna::numero_ou_texto;
constexpr secao_json origem = secao_json::origem, entrada = secao_json::entrada, grade = secao_json::grade,
                     metodo = secao_json::metodo, resultado = secao_json::resultado, analise = secao_json::analise,
                     erros = secao_json::erro;

std::string numero(double v) { return std::isfinite(v) ? numero_csv(v) : std::string(); }
std::string inteiro_se(long long v, bool valido) { return valido ? std::to_string(v) : std::string(); }
// o erro contra a solução exata: vazio quando o problema não tem solução exata, como as cifras que não se aplicam
std::string com_solucao_exata(const dados_da_linha& d, double v) { return d.metodo.solucao_exata ? numero(v) : std::string(); }

std::vector<coluna_resumo> montar() {
    const colunas_de_repeticao& r = nomes_das_colunas_de_repeticao();
    std::vector<coluna_resumo> c = {
        {"caso", texto, entrada, [](const dados_da_linha& d) { return utf8(sem_brancos_finais(d.e.caso)); }},
        {"nm", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.nm); }},
        {"nx", inteiro_, grade, [](const dados_da_linha& d) { return std::to_string(d.e.nxg[d.e.nm] - 2); }},
        {"ny", inteiro_, grade, [](const dados_da_linha& d) { return std::to_string(d.e.nyg[d.e.nm] - 2); }},
        {"nitm", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.nitm); }},
        {"tolt", real, entrada, [](const dados_da_linha& d) { return numero_csv(d.e.tolt); }},
        {"problema", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.problema); }},
        {"tipo_ci", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.tipo_ci); }},
        {"niter", inteiro_, resultado, [](const dados_da_linha& d) { return std::to_string(d.e.niter); }},
        // um número que não é finito (a razão 0/0 de uma grade sem incógnitas, a norma que estourou) fica vazio: o
        // veredito diz o que houve
        {"razao_final", real, resultado, [](const dados_da_linha& d) { return numero(finais(d.e).razao); }},
        {"qmed_final", real, resultado, [](const dados_da_linha& d) { return numero(finais(d.e).qmed); }},
        {"cpu_s", real, resultado, [](const dados_da_linha& d) { return numero_csv(d.e.tcpu); }},
        {"relogio_s", real, resultado, [](const dados_da_linha& d) { return numero_csv(d.e.tparede); }},
        {"erro_max", real, erros, [](const dados_da_linha& d) { return com_solucao_exata(d, d.cifras.erro.maximo); }},
        {"erro_medio", real, erros, [](const dados_da_linha& d) { return com_solucao_exata(d, d.cifras.erro.medio); }},
        {"convergiu", inteiro_, resultado,
         [](const dados_da_linha& d) { return std::string(d.e.veredito_final == veredito::convergiu ? "1" : "0"); }},
        {"data_hora", texto, origem, [](const dados_da_linha& d) { return d.e.texto_iso; }},
    };
    const auto opcoes = [&](grupo_opcao g) {
        for (const opcao_metodo& o : opcoes_do_metodo()) {
            if (o.grupo != g) continue;
            const tipo_coluna t = o.tipo == tipo_valor_opcao::numero ? real
                                  : o.tipo == tipo_valor_opcao::numero_ou_texto ? numero_ou_texto
                                                                               : texto;
            c.push_back({o.nome, t, metodo, [&o](const dados_da_linha& d) { return o.efetivo(d.metodo); }});
        }
    };
    opcoes(grupo_opcao::metodo);
    const std::vector<coluna_resumo> cifras = {
        {"mu_lfa", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.mu_lfa); }},
        {"rho_lfa", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.rho_lfa); }},
        {"q_assintotico", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.q_assintotico); }},
        {"r2", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.r2); }},
        {"trabalho_ciclo", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.trabalho_ciclo); }},
        {"q_por_trabalho", real, analise, [](const dados_da_linha& d) { return numero(d.cifras.q_por_trabalho); }},
        {"erro_algebrico_max", real, erros,
         [](const dados_da_linha& d) { return numero(d.cifras.erro_algebrico_max); }},
        {"erro_discretizacao_max", real, erros,
         [](const dados_da_linha& d) { return numero(d.cifras.erro_discretizacao_max); }},
        {"digitos_por_trabalho", real, analise,
         [](const dados_da_linha& d) { return numero(d.cifras.digitos_por_trabalho); }},
        {"transferencias_ciclo", real, analise,
         [](const dados_da_linha& d) { return numero(d.cifras.transferencias_ciclo); }},
        {"ajuste_de", inteiro_, analise,
         [](const dados_da_linha& d) {
             return inteiro_se(d.cifras.ajuste_de, std::isfinite(d.cifras.q_assintotico));
         }},
        {"ajuste_ate", inteiro_, analise,
         [](const dados_da_linha& d) {
             return inteiro_se(d.cifras.ajuste_ate, std::isfinite(d.cifras.q_assintotico));
         }},
        {"piso", inteiro_, analise, [](const dados_da_linha& d) { return inteiro_se(d.cifras.piso, d.cifras.piso > 0); }},
        {"erro_algebrico_medio", real, erros,
         [](const dados_da_linha& d) { return numero(d.cifras.erro_algebrico_medio); }},
        {"erro_discretizacao_medio", real, erros,
         [](const dados_da_linha& d) { return numero(d.cifras.erro_discretizacao_medio); }},
        {"itmax", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.itmax); }},
    };
    c.insert(c.end(), cifras.begin(), cifras.end());
    opcoes(grupo_opcao::problema);
    const std::vector<coluna_resumo> fim = {
        {"veredito", texto, resultado, [](const dados_da_linha& d) { return std::string(nome_do_veredito(d.e.veredito_final)); }},
        {"estudo", texto, origem, [](const dados_da_linha& d) { return d.estudo; }},
        // a entrada como se digita (nxg(1), nyg(1)), ae/an do nível mais fino (com eps) e a proveniência
        {"nxg", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.nxg[1]); }},
        {"nyg", inteiro_, entrada, [](const dados_da_linha& d) { return std::to_string(d.e.nyg[1]); }},
        {"ae_an", real, grade, [](const dados_da_linha& d) { return numero(d.cifras.ae_an); }},
        {"versao", texto, origem, [](const dados_da_linha& d) { return d.origem.versao; }},
        {"commit", texto, origem, [](const dados_da_linha& d) { return d.origem.commit; }},
        {"compilador", texto, origem, [](const dados_da_linha& d) { return d.origem.compilador; }},
        {"maquina", texto, origem, [](const dados_da_linha& d) { return d.origem.maquina; }},
        {"processador", texto, origem, [](const dados_da_linha& d) { return d.origem.processador; }},
        {"threads", inteiro_, origem, [](const dados_da_linha& d) { return std::to_string(d.origem.threads); }},
        {"instrucoes", texto, origem, [](const dados_da_linha& d) { return d.origem.instrucoes; }},
        // --repeat: quantas soluções e a mediana, o menor e o maior dos tempos delas
        {r.repeticoes, inteiro_, resultado,
         [](const dados_da_linha& d) { return std::to_string(std::max<std::size_t>(1, d.e.tcpu_repeticoes.size())); }},
        {r.cpu_mediana, real, resultado, [](const dados_da_linha& d) { return numero(faixa_cpu(d.e).mediana); }},
        {r.cpu_min, real, resultado, [](const dados_da_linha& d) { return numero(faixa_cpu(d.e).menor); }},
        {r.cpu_max, real, resultado, [](const dados_da_linha& d) { return numero(faixa_cpu(d.e).maior); }},
        {r.relogio_mediana, real, resultado, [](const dados_da_linha& d) { return numero(faixa_relogio(d.e).mediana); }},
        {r.relogio_min, real, resultado, [](const dados_da_linha& d) { return numero(faixa_relogio(d.e).menor); }},
        {r.relogio_max, real, resultado, [](const dados_da_linha& d) { return numero(faixa_relogio(d.e).maior); }},
    };
    c.insert(c.end(), fim.begin(), fim.end());
    // as da correção grossa (coarse-operator, interpolation, coarsening) e krylov vieram depois de todas
    opcoes(grupo_opcao::grosso);
    // a LFA de k níveis do ciclo da rodada
    for (std::size_t k = 0; k < 3; ++k)
        c.push_back({"rho_lfa_k" + std::to_string(k + 2), real, analise,
                     [k](const dados_da_linha& d) { return numero(d.cifras.rho_lfa_k[k]); }});
    // e as normas L2 e máxima do resíduo final, com a estimativa do método de Krylov
    const std::vector<coluna_resumo> normas = {
        {"l2_final", real, resultado, [](const dados_da_linha& d) { return numero(d.cifras.l2_final); }},
        {"max_final", real, resultado, [](const dados_da_linha& d) { return numero(d.cifras.max_final); }},
        {"l2_krylov_final", real, resultado, [](const dados_da_linha& d) { return numero(d.cifras.l2_krylov_final); }},
    };
    c.insert(c.end(), normas.begin(), normas.end());
    // as opções que vieram depois delas (post-order)
    opcoes(grupo_opcao::posterior);
    return c;
}

} // namespace

const std::vector<coluna_resumo>& colunas_do_resumo() {
    static const std::vector<coluna_resumo> c = montar();
    return c;
}

const coluna_resumo* coluna_do_resumo(std::string_view nome) {
    for (const coluna_resumo& c : colunas_do_resumo())
        if (c.nome == nome) return &c;
    return nullptr;
}

std::string cabecalho_resumo() {
    std::string s;
    for (const coluna_resumo& c : colunas_do_resumo()) s += (s.empty() ? "" : ",") + c.nome;
    return s + "\r\n";
}

bool cabecalho_de_resumo(std::string_view linha) { return linha.starts_with("caso,nm,nx,ny,nitm,tolt,"); }

std::string linha_resumo(const estado_execucao& e, const cifras_rodada& cifras, const metodo_efetivo& metodo,
                         const std::string& estudo) {
    const dados_da_linha d{e, cifras, metodo, proveniencia_da_rodada(e), estudo};
    std::string s;
    bool primeira = true;
    for (const coluna_resumo& c : colunas_do_resumo()) {
        const std::string v = c.valor(d);
        // textos em UTF-8, com o apóstrofo das planilhas quando parecem uma fórmula; números como estão
        s += (primeira ? "" : ",") + (c.tipo == inteiro_ || c.tipo == real ? v : texto_csv(v));
        primeira = false;
    }
    return s + "\r\n";
}

const char* nome_da_secao(secao_json s) {
    switch (s) {
    case secao_json::origem: return "proveniencia";
    case secao_json::entrada: return "entrada";
    case secao_json::grade: return "grade";
    case secao_json::metodo: return "metodo";
    case secao_json::resultado: return "resultado";
    case secao_json::analise: return "analise";
    case secao_json::erro: return "erro";
    }
    return "";
}
