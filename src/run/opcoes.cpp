// Linha de comando: as opções da rodada e as do método (state/opcoes_metodo.h), lidas pela plataforma; cada uma
// aplicada ao registro das opções, depois as combinações conferidas; erros com a dica de uso.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "modelo_entrada.h"
#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/execucao.h"
#include "run/leitor.h"
#include "run/opcoes.h"
#include "state/numeros.h"
#include "state/opcoes_metodo.h"
#include "versao.h"

namespace {

constexpr int max_threads = 1024;
constexpr int max_repeticoes = 1000;

// As opções que não são do método.
enum class opcao {
    sem_editor, monitor, csv, grafico, formato_grafico, resumo, threads, ajuda, versao, utf8, modelo, lfa, csv_erros,
    tempos, alteracao, varredura, comandos, tabela_estudo, estudo, json, campo, reinicio, repeticoes, metodo
};

struct opcao_do_programa {
    opcao_aceita aceita;
    opcao qual;
    const opcao_metodo* metodo = nullptr; // opcao::metodo: a linha da tabela
};

std::vector<opcao_do_programa> opcoes_do_programa() {
    std::vector<opcao_do_programa> v = {
        {{"no-edit", 'n', false}, opcao::sem_editor},    {{"monitor", 'm', false}, opcao::monitor},
        {{"csv", 0, true}, opcao::csv},                  {{"plot", 0, true}, opcao::grafico},
        {{"summary", 0, true}, opcao::resumo},           {{"threads", 'j', true}, opcao::threads},
        {{"help", 'h', false}, opcao::ajuda},            {{"version", 'V', false}, opcao::versao},
        {{"utf8", 0, false}, opcao::utf8},               {{"template", 0, false}, opcao::modelo},
        {{"lfa", 0, false}, opcao::lfa},                 {{"csv-errors", 0, false}, opcao::csv_erros},
        {{"timing", 0, false}, opcao::tempos},           {{"set", 0, true}, opcao::alteracao},
        {{"sweep", 0, true}, opcao::varredura},          {{"commands", 0, false}, opcao::comandos},
        {{"study-table", 0, true}, opcao::tabela_estudo}, {{"study-id", 0, true}, opcao::estudo},
        {{"json", 0, true}, opcao::json},               {{"save-field", 0, true}, opcao::campo},
        {{"restart", 0, true}, opcao::reinicio},         {{"plot-format", 0, true}, opcao::formato_grafico},
        {{"repeat", 0, true}, opcao::repeticoes}};
    for (const opcao_metodo& m : opcoes_do_metodo()) v.push_back({{m.nome, 0, *m.valor != '\0'}, opcao::metodo, &m});
    return v;
}

// O que a linha pede além das opções da rodada: a ajuda, a versão ou o modelo, que saem sem rodar.
struct pedidos_de_saida {
    bool ajuda = false, versao = false, modelo = false;
};

// Um nome de arquivo de saída: não vazio e, por ir para o roteiro do gnuplot e para mensagens, sem controle.
std::string ler_nome_de_saida(const char* opcao, const std::string& valor, std::string& destino) {
    if (valor.empty()) return std::string("option '") + opcao + "' needs a file name, not ''";
    if (tem_controle(valor)) return std::string("option '") + opcao + "': the name '" + valor + "' holds a control character";
    destino = valor;
    return {};
}

// Um número pela regra da entrada, como todo número da linha de comando.
std::string ler_threads(const std::string& valor, int& threads) {
    const texto_de_numero t = separar_numero(valor);
    int n = 0;
    if (ler_inteiro_decimal(t.valor, n) != leitura_numero::certo || n < 1 || n > max_threads)
        return "invalid thread count '" + valor + "' (must be 1 to " + std::to_string(max_threads) + ")";
    if (const std::string aviso = aviso_numero_seguido("-j", t.valor, t.resto, true); !aviso.empty())
        escrever_mensagem("warning: -j " + valor + ": " + aviso);
    threads = n;
    return {};
}

// --repeat R: um inteiro de 1 a max_repeticoes, pela regra da entrada.
std::string ler_repeticoes(const std::string& valor, int& repeticoes) {
    const texto_de_numero t = separar_numero(valor);
    int n = 0;
    if (ler_inteiro_decimal(t.valor, n) != leitura_numero::certo || n < 1 || n > max_repeticoes || !t.resto.empty())
        return "invalid --repeat '" + valor + "' (must be a whole number of solves, 1 to " +
               std::to_string(max_repeticoes) + ")";
    repeticoes = n;
    return {};
}

// Uma opção achada, aplicada a o (ou a p); vazio quando aceita, senão a mensagem.
std::string aplicar(const opcao_do_programa& x, const std::string& valor, opcoes_execucao& o, pedidos_de_saida& p) {
    switch (x.qual) {
    case opcao::sem_editor: o.editar = false; return {};
    case opcao::monitor: o.monitor = true; return {};
    case opcao::csv: return ler_nome_de_saida("--csv", valor, o.csv);
    case opcao::json: return ler_nome_de_saida("--json", valor, o.json);
    case opcao::grafico: return ler_nome_de_saida("--plot", valor, o.grafico);
    case opcao::formato_grafico:
        if (!formato_de_nome(valor, o.formato_grafico))
            return "invalid --plot-format '" + valor + "' (must be svg, png or pdf)";
        o.formato_dado = true;
        return {};
    case opcao::resumo: return ler_nome_de_saida("--summary", valor, o.resumo);
    case opcao::campo: return ler_nome_de_saida("--save-field", valor, o.campo);
    case opcao::reinicio: return ler_nome_de_saida("--restart", valor, o.reinicio);
    case opcao::threads: return ler_threads(valor, o.threads);
    case opcao::ajuda: p.ajuda = true; return {};
    case opcao::versao: p.versao = true; return {};
    case opcao::utf8: o.utf8 = true; return {};
    case opcao::modelo: p.modelo = true; return {};
    case opcao::lfa: o.lfa = true; return {};
    case opcao::csv_erros: o.csv_erros = true; return {};
    case opcao::tempos: o.tempos = true; return {};
    case opcao::comandos: o.comandos = true; return {};
    case opcao::repeticoes: return ler_repeticoes(valor, o.repeticoes);
    case opcao::alteracao: {
        alteracao_entrada a;
        if (std::string erro = ler_alteracao(valor.c_str(), a); !erro.empty()) return erro;
        o.alteracoes.push_back(a);
        return {};
    }
    case opcao::varredura: {
        varredura v;
        if (std::string erro = ler_varredura(valor.c_str(), v); !erro.empty()) return erro;
        o.varreduras.push_back(v);
        return {};
    }
    case opcao::tabela_estudo:
        if (valor.empty() || tem_controle(valor))
            return "option '--study-table' needs a file name without control characters";
        o.tabela_estudo = valor;
        return {};
    case opcao::estudo:
        if (valor.empty() || valor.size() > 64 ||
            valor.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._:-") != std::string::npos)
            return "invalid --study-id '" + valor + "' (1 to 64 letters, digits, '.', '_', ':' or '-')";
        o.estudo = valor;
        return {};
    case opcao::metodo: {
        const bool com_valor = *x.metodo->valor != '\0';
        if (std::string erro = ler_opcao_metodo(x.metodo->nome, com_valor ? valor.c_str() : "1", o.metodo);
            !erro.empty())
            return erro;
        o.opcoes_metodo.push_back({x.metodo->nome, valor});
        return {};
    }
    }
    return {};
}

// A mensagem de um argumento que a leitura não aceitou.
std::string mensagem_de_falha(const argumentos_lidos& a) {
    switch (a.falha) {
    case falha_argumento::falta_valor: return "option '" + a.argumento + "' requires an argument";
    case falha_argumento::valor_sobrando:
        return "option '" + a.argumento.substr(0, a.argumento.find('=')) + "' doesn't allow an argument";
    case falha_argumento::letra_desconhecida: return "invalid option -- '" + std::string(1, a.letra) + "'";
    case falha_argumento::desconhecida:
    case falha_argumento::nenhuma: break;
    }
    return "unrecognized option '" + a.argumento + "'";
}

// As combinações de opções e o INPUT; vazio quando servem.
std::string conferir_combinacoes(opcoes_execucao& o, const std::vector<std::string>& operandos) {
    if (std::string erro = conferir_opcoes_estudo(o); !erro.empty()) return erro;
    if (std::string erro = conferir_opcoes_do_problema(o.metodo); !erro.empty()) return erro;
    if (!o.tabela_estudo.empty() && !operandos.empty()) return "--study-table reads its FILE only: no INPUT file is read";
    if (o.csv_erros && o.csv.empty() && o.json.empty() && o.campo.empty())
        return "--csv-errors adds the error to the --csv or --json history or an error field to --save-field: give one of them";
    if (o.tempos && o.csv == "-") return "--csv - and --timing both write to standard output";
    if (o.tempos && o.json == "-") return "--json - and --timing both write to standard output";
    if (o.csv == "-" && o.json == "-") return "--csv - and --json - both write to standard output";
    if (o.lfa && (o.monitor || !o.csv.empty() || !o.json.empty() || !o.resumo.empty() || o.tempos))
        return "--lfa analyses without solving: --monitor, --csv, --json, --summary and --timing do not apply";
    if (o.lfa && (!o.campo.empty() || !o.reinicio.empty()))
        return "--lfa analyses without solving: --save-field and --restart do not apply";
    if (o.formato_dado && o.grafico.empty()) return "--plot-format is the format of the --plot figures: give --plot PREFIX";
    if (o.lfa && o.repeticoes > 1) return "--repeat times the solve, and --lfa does not solve";
    if (!o.tabela_estudo.empty() && o.repeticoes > 1)
        return "--repeat times the runs of a study: --study-table only reads a finished one";
    if (operandos.size() > 1) return "too many arguments: only one INPUT file is read";
    if (operandos.size() == 1) o.entrada = operandos[0];
    if (o.entrada.empty()) return "the INPUT file name is empty";
    if (o.csv == "-" && o.monitor) return "--csv - and --monitor both write to standard output";
    if (o.json == "-" && o.monitor) return "--json - and --monitor both write to standard output";
    if (!o.csv.empty() && o.csv == o.resumo) return "--csv and --summary name the same file";
    if (!o.json.empty() && (o.json == o.resumo || o.json == o.csv)) return "--json names the same file as --csv or --summary";
    for (const std::string* saida : {&o.csv, &o.resumo, &o.json})
        if (!saida->empty() && *saida == o.entrada) return "an output file is the INPUT file '" + o.entrada + "'";
    if (!o.campo.empty() && (o.campo == o.csv || o.campo == o.resumo || o.campo == o.json))
        return "--save-field and --" + std::string(o.campo == o.csv ? "csv" : o.campo == o.json ? "json" : "summary") +
               " name the same file";
    if (!o.campo.empty() && o.campo == o.entrada) return "an output file is the INPUT file '" + o.entrada + "'";
    return {};
}

leitura_opcoes recusar(const std::string& msg) {
    escrever_mensagem(msg);
    std::fputs("Try 'placa --help' for more information.\n", stderr);
    return {false, 2, {}};
}

} // namespace

leitura_opcoes interpretar_opcoes(int argc, char** argv) {
    const std::vector<opcao_do_programa> programa = opcoes_do_programa();
    std::vector<opcao_aceita> aceitas;
    for (const opcao_do_programa& x : programa) aceitas.push_back(x.aceita);
    const argumentos_lidos lidos = ler_argumentos(argc, argv, aceitas);

    leitura_opcoes r;
    pedidos_de_saida saida;
    for (const auto& [i, valor] : lidos.opcoes)
        if (std::string erro = aplicar(programa[i], valor, r.opcoes, saida); !erro.empty()) return recusar(erro);
    if (lidos.falha != falha_argumento::nenhuma) return recusar(mensagem_de_falha(lidos));
    if (saida.ajuda) {
        std::fputs(texto_de_ajuda().c_str(), stdout);
        return {false, 0, {}};
    }
    if (saida.versao) {
        std::printf("placa %s (%s)\n", PLACA_VERSAO, PLACA_DATA_VERSAO);
        return {false, 0, {}};
    }
    if (saida.modelo) {
        std::fputs(modelo_entrada, stdout);
        return {false, std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1, {}};
    }
    if (std::string erro = conferir_combinacoes(r.opcoes, lidos.operandos); !erro.empty()) return recusar(erro);
    r.rodar = true;
    return r;
}
