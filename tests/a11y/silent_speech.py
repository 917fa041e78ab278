"""A speech server for Orca that says nothing and never waits.

Orca writes every utterance to its debug output before it hands it to a speech
server, so the screen-reader test needs no voice. Orca's own default,
speech-dispatcher, is started by Orca on demand; on a machine without a sound
device it can block in its audio output, and an Orca waiting on it stops
answering the key events the application sends it (Qt then reports
"keyEventError NoReply" and the keys go nowhere). Speech-dispatcher also
outlives the test: it ignores SIGTERM. Orca loads this module instead when its
settings name it as the speech server factory and it is on PYTHONPATH.
"""

from orca import speechserver


class SpeechServer(speechserver.SpeechServer):
    _only = None

    @staticmethod
    def getFactoryName():
        return "silent"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._only is None:
            SpeechServer._only = SpeechServer()
        return SpeechServer._only

    @staticmethod
    def shutdownActiveServers():
        pass

    def getInfo(self):
        return ["silent", "silent"]

    def getVoiceFamilies(self):
        return []
