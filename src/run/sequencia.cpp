// Sequência de uma rodada: editor e leitura, destinos conferidos, solução, saídas preparadas e efetivadas juntas,
// resumo, editor sobre a listagem.
#include <algorithm>
#include <cmath>

#include "platform/plataforma.h"
#include "report/json.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "run/execucao.h"
#include "run/reinicio.h"
#include "analysis/analise.h"
#include "solver/solver.h"

// Os processadores ociosos: com outros processos ocupando processadores, uma thread a mais só espera pela
// outra nas divisas das fatias (medido: 1,5 a 2 vezes mais lento com dois compiladores rodando em 2 processadores).
int threads_padrao(int processadores, double carga) {
    const long ociosos = processadores - std::lround(carga);
    return static_cast<int>(std::clamp<long>(ociosos, 1, processadores));
}

void executar(estado_execucao& e, const std::string& arquivo) {
    opcoes_execucao o;
    o.entrada = arquivo;
    executar(e, o);
}

namespace {

// Solução pelo número de níveis, com o tempo de relógio.
void resolver(estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes,
              const aviso_iteracao& aviso) {
    fase_rodada fase("during the solve");
    const double t0 = tempo_parede();
    if (e.nm == 1)
        resolver_malha_unica(e, metodo, ajustes, aviso);
    else
        resolver_multigrid(e, metodo, ajustes, aviso);
    e.tparede = tempo_parede() - t0;
}

// --repeat R: R - 1 soluções a mais, cada uma numa cópia do estado de antes da solução (desfeita ao fim, para a
// memória não dobrar), sem monitor nem linha de progresso; a rodada é determinística, então só os tempos mudam.
// Vêm antes da solução que a listagem mostra, e os tempos dela ficam em primeiro.
struct tempos_repetidos {
    std::vector<double> cpu, parede;
};

tempos_repetidos repetir_solucao(const estado_execucao& e, const metodo_efetivo& metodo, ajustes_solver ajustes,
                                 int repeticoes) {
    tempos_repetidos t;
    ajustes.tempos = nullptr;
    for (int r = 1; r < repeticoes; ++r) {
        estado_execucao x = e;
        resolver(x, metodo, ajustes, [](const estado_execucao&) {});
        t.cpu.push_back(x.tcpu);
        t.parede.push_back(x.tparede);
    }
    return t;
}

// O que a solução produz além do estado: o erro algébrico de cada iteração (--csv-errors), a solução discreta de que
// ele se mede e os tempos por fase.
struct medidas_da_solucao {
    std::vector<erro_iteracao> erros;
    std::vector<normas_iteracao> normas; // --csv, --json: as normas L2 e máxima do resíduo de cada iteração
    solucao_discreta discreta;
    tempos_fases tempos;
};

// Threads e memória: nunca mais threads que processadores (afinidade e cota do cgroup), peça o que pedir -j:
// threads a mais só disputariam os mesmos processadores; e só as que cabem na memória com suas pilhas.
ajustes_solver planejar_recursos(estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo) {
    e.processadores = processadores_disponiveis();
    e.threads_pedidas = o.threads > 0 ? o.threads : threads_padrao(e.processadores, carga_do_sistema());
    ajustes_solver ajustes;
    ajustes.threads = planejar_memoria(e, o, metodo, std::min(e.threads_pedidas, e.processadores));
    return ajustes;
}

// O fator do nível 1 (--coarsest solve) custa a quarta potência dos pontos por direção: além de alguns segundos, o
// aviso com a estimativa vem antes de ele começar (e num terminal a linha de progresso o acompanha).
void avisar_fator_lento(const estado_execucao& e, const metodo_efetivo& metodo) {
    constexpr double segundos_para_avisar = 10.0;
    if (!metodo.grosso_exato) return;
    const double t = segundos_fator_banda(e.nxg[1], e.nyg[1]);
    if (t > segundos_para_avisar)
        escrever_mensagem(aviso_fator_lento(e.nxg[1], e.nyg[1], t, operacoes_fator_banda(e.nxg[1], e.nyg[1])));
}

// A solução com o que as opções pedem em volta dela: monitor, linha de progresso, erro por iteração e tempos.
void resolver_acompanhado(estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo,
                          ajustes_solver ajustes, medidas_da_solucao& medidas) {
    if (o.tempos || !o.json.empty()) ajustes.tempos = &medidas.tempos;
    // --csv-errors: o erro algébrico do campo inicial e de cada iteração, contra a solução discreta exata
    const auto anotar_erro = [&](const estado_execucao& x) {
        const erro_dividido d = erro_algebrico(medidas.discreta, x.T);
        medidas.erros.push_back({d.algebrico_max, d.algebrico_medio});
    };
    const bool normas = !o.csv.empty() || !o.json.empty();
    const auto anotar_normas = [&](const estado_execucao& x) { medidas.normas.push_back(normas_do_residuo(x)); };
    if (o.csv_erros) medidas.discreta = preparar_solucao_discreta(metodo, e.nxg[e.nm], e.nyg[e.nm]);
    if (o.csv_erros || normas)
        ajustes.ao_comecar = [&](const estado_execucao& x) {
            if (o.csv_erros) anotar_erro(x);
            if (normas) anotar_normas(x);
        };
    if (o.monitor) escrever_na_saida_padrao(linha_metodo_monitor(e, metodo));
    progresso linha_de_progresso;
    if (metodo.grosso_exato) ajustes.ao_fatorar = [&](double fracao) { linha_de_progresso.fator(fracao); };
    const aviso_iteracao aviso = [&](const estado_execucao& x) {
        if (o.csv_erros) anotar_erro(x);
        if (normas) anotar_normas(x);
        if (o.monitor) escrever_na_saida_padrao(linha_monitor(x));
        linha_de_progresso.iteracao(x);
    };
    resolver(e, metodo, ajustes, aviso);
    linha_de_progresso.terminar();
    // a estimativa do método de Krylov de cada iteração, ao lado das normas do resíduo verdadeiro
    for (std::size_t i = 0; i < medidas.normas.size() && i < e.estimativa_krylov.size(); ++i)
        medidas.normas[i].krylov = e.estimativa_krylov[i];
}

// O documento de --json: as colunas do resumo, o histórico, os tempos e o plano de memória.
void escrever_documento(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo,
                        const cifras_rodada& cifras, const medidas_da_solucao& medidas, saida_texto& s) {
    const necessidade_memoria m = memoria_necessaria(e, o, metodo);
    const long long total = m.T + m.cor + m.res + m.hist + m.rascunho + m.fator + m.operador + m.fonte + m.saidas;
    escrever_json({.e = e,
                   .metodo = metodo,
                   .cifras = cifras,
                   .erros = medidas.erros,
                   .normas = medidas.normas,
                   .tempos = &medidas.tempos,
                   .memoria = {{"T", m.T}, {"cor", m.cor}, {"res", m.res}, {"hist", m.hist}, {"rascunho", m.rascunho},
                               {"fator", m.fator}, {"operador", m.operador}, {"fonte", m.fonte}, {"saidas", m.saidas},
                               {"total", total}, {"pilha_por_thread", m.pilha}, {"disponivel", memoria_disponivel()}},
                   .estudo = o.estudo},
                  s);
}

// Tudo preparado em temporários e só então efetivado: uma falha no caminho deixa as saídas antigas intactas; a
// linha do resumo, que volta atrás sozinha numa falha, entra logo antes da efetivação. Devolve o que o gnuplot fez
// das figuras.
resultado_gnuplot gravar_saidas(estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo,
                                const cifras_rodada& cifras, const medidas_da_solucao& medidas) {
    data_e_hora(e);
    conjunto_saidas saidas;
    resultado_gnuplot desenhou = resultado_gnuplot::desenhou;
    fase_rodada fase("writing the output files");
    saidas.preparar(e.arquivo_listagem, "unit 10", [&](saida_texto& s) {
        if (!o.utf8) return escrever_listagem(e, s, metodo);
        saida_texto latin1; // os mesmos caracteres, só os bytes mudam
        latin1.destino = [&](const std::string& bloco) { s.bruto(utf8(bloco)); };
        escrever_listagem(e, latin1, metodo);
        latin1.terminar();
    });
    if (!o.csv.empty() && o.csv != "-")
        saidas.preparar(o.csv, "--csv", [&](saida_texto& s) {
            escrever_historico_csv(e, metodo, s, medidas.erros, medidas.normas);
        });
    if (!o.json.empty() && o.json != "-")
        saidas.preparar(o.json, "--json", [&](saida_texto& s) { escrever_documento(e, o, metodo, cifras, medidas, s); });
    if (!o.campo.empty()) preparar_campo_final(e, o, metodo, medidas.discreta, saidas);
    if (!o.grafico.empty())
        desenhou = desenhar_graficos(e, metodo, amostrar_campo(e, metodo, lado_da_amostra), cifras, o.grafico,
                                     o.formato_grafico, saidas);
    // o conjunto sob uma trava das pastas dos destinos (outra rodada com os mesmos destinos espera a vez), e a linha e
    // as saídas juntas: um sinal que chega no meio espera as duas ficarem inteiras
    std::vector<std::string> destinos{e.arquivo_listagem, o.csv == "-" ? std::string() : o.csv, o.resumo,
                                      o.json == "-" ? std::string() : o.json};
    if (!o.grafico.empty())
        for (const std::string& f : arquivos_de_graficos(o.grafico, o.formato_grafico).todos()) destinos.push_back(f);
    for (const std::string& f : arquivos_do_campo(o)) destinos.push_back(f);
    const trava_de_conjunto trava(destinos);
    const sinais_adiados juntas;
    if (!o.resumo.empty()) anexar_resumo(o.resumo, linha_resumo(e, cifras, metodo, o.estudo));
    saidas.efetivar();
    return desenhou;
}

} // namespace

int executar(estado_execucao& e, const opcoes_execucao& o) {
    {
        fase_rodada fase("reading the input");
        for (const std::string& aviso : ler_dados(e, {.arquivo = o.entrada, .editar = o.editar, .alteracoes = o.alteracoes}))
            escrever_mensagem(aviso);
    }
    for (const std::string& a : avisos_metodo(o.metodo, e.nm)) escrever_mensagem("warning: " + a);
    const metodo_efetivo metodo(o.metodo, e.nitm, e.nm, e.problema);
    // semiengrossamento: os níveis grossos vêm do mais fino (erro quando passam de 32 bits)
    if (metodo.multigrid && metodo.engrossamento != tipo_engrossamento::completo)
        derivar_niveis_grossos(e, metodo.engrossamento);
    conferir_problema(e, metodo, o.entrada);
    for (const std::string& a : avisos_do_problema(e, metodo)) escrever_mensagem("warning: " + a);
    // o método que a LFA diz não convergir: o aviso e o porquê, também com --lfa
    const auto prever = [&] {
        const std::string aviso =
            aviso_sem_convergencia(metodo, prever_convergencia(metodo, e.nitm, e.nm, e.nxg[e.nm], e.nyg[e.nm]));
        if (!aviso.empty()) escrever_mensagem(aviso);
    };
    if (o.lfa) { // só a teoria: nada é resolvido nem escrito
        prever();
        const std::vector<linha_lfa> linhas = tabela_lfa(metodo, e.nitm, e.nm, e.nxg[e.nm], e.nyg[e.nm]);
        escrever_na_saida_padrao(texto_lfa(e, metodo, linhas));
        escrever_na_saida_padrao(
            texto_lfa_k(e, metodo, tabela_lfa_k(metodo, e.nitm, e.nm, e.nxg[e.nm], e.nyg[e.nm], e.nxg[1], e.nyg[1])));
        if (!o.grafico.empty() && metodo.operador_variavel)
            escrever_mensagem("warning: --plot draws no Fourier maps: the analysis does not apply to a varying coefficient");
        if (!o.grafico.empty() && !metodo.operador_variavel) { // as figuras dos mesmos símbolos
            const mapas_lfa mapas = calcular_mapas_lfa(metodo, e.nitm, e.nm, e.nxg[e.nm], e.nyg[e.nm], e.nxg[1], e.nyg[1]);
            conjunto_saidas saidas;
            const resultado_gnuplot r = desenhar_mapas_lfa(e, metodo, mapas, o.grafico, o.formato_grafico, saidas);
            const trava_de_conjunto trava(arquivos_de_graficos_lfa(o.grafico, o.formato_grafico));
            const sinais_adiados juntas;
            saidas.efetivar();
            if (r != resultado_gnuplot::desenhou) escrever_mensagem(aviso_sem_figuras(r, o.grafico, o.formato_grafico));
        }
        return 0;
    }
    conferir_destinos(e, o, metodo);
    prever();
    ajustes_solver ajustes = planejar_recursos(e, o, metodo);
    // tipo_ci = 2: o campo salvo, conferido antes de qualquer arquivo ser escrito
    const std::vector<double> reinicio = reinicio_da_rodada(e, o, metodo);
    ajustes.reinicio = reinicio;
    avisar_fator_lento(e, metodo);
    const tempos_repetidos repetidos = repetir_solucao(e, metodo, ajustes, o.repeticoes);
    medidas_da_solucao medidas;
    resolver_acompanhado(e, o, metodo, ajustes, medidas);
    if (o.repeticoes > 1) {
        e.tcpu_repeticoes = {e.tcpu};
        e.tparede_repeticoes = {e.tparede};
        e.tcpu_repeticoes.insert(e.tcpu_repeticoes.end(), repetidos.cpu.begin(), repetidos.cpu.end());
        e.tparede_repeticoes.insert(e.tparede_repeticoes.end(), repetidos.parede.begin(), repetidos.parede.end());
    }
    e.veredito_final = julgar_rodada(e);

    // a teoria ao lado da medida, só quando alguma saída a mostra
    const bool pede_cifras = o.monitor || !o.resumo.empty() || !o.grafico.empty() || !o.json.empty();
    cifras_rodada cifras = pede_cifras ? calcular_cifras(e, metodo) : cifras_rodada{};
    const normas_iteracao final = normas_do_residuo(e);
    cifras.l2_final = final.l2;
    cifras.max_final = final.maximo;
    if (!e.estimativa_krylov.empty()) cifras.l2_krylov_final = e.estimativa_krylov.back();
    if (o.monitor) escrever_na_saida_padrao(sumario_monitor(e, cifras));
    if (o.tempos) escrever_na_saida_padrao(texto_tempos(e, medidas.tempos));

    const resultado_gnuplot desenhou = gravar_saidas(e, o, metodo, cifras, medidas);
    if (o.csv == "-") {
        saida_texto s;
        s.destino = [](const std::string& bloco) { escrever_na_saida_padrao(bloco); };
        escrever_historico_csv(e, metodo, s, medidas.erros, medidas.normas);
        s.terminar();
    }
    if (o.json == "-") {
        saida_texto s;
        s.destino = [](const std::string& bloco) { escrever_na_saida_padrao(bloco); };
        escrever_documento(e, o, metodo, cifras, medidas, s);
        s.terminar();
    }
    if (desenhou != resultado_gnuplot::desenhou)
        escrever_mensagem(aviso_sem_figuras(desenhou, o.grafico, o.formato_grafico));
    if (o.editar && !destino_especial(e.arquivo_listagem)) executar_editor(e.arquivo_listagem);
    if (e.veredito_final == veredito::divergiu) {
        escrever_mensagem(mensagem_divergencia(e));
        return codigo_divergiu;
    }
    return desenhou == resultado_gnuplot::desenhou ? 0 : 1;
}
